// The wizard end to end: the real mendpack.exe in a temporary game folder, driven by messages.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>

#include "common/text.h"
#include "support/gui.h"
#include "support/temp_folder.h"
#include "win32/handle.h"
#include "wizard_driver.h"

using namespace wintest;
using wizard::ControlKind;
using wizard::PageId;

namespace {

// What the user sees on arrival at a page (whose texts WaitForPage has matched): a fixed frame of
// the layout's client size, tab stops on all but the labels and the focus on the first of them;
// and a screenshot for the README.
void Inspect(HWND page, PageId id) {
    const wizard::PageLayout &layout = wizard::LayoutOf(id);
    const int dpi = GetDeviceCaps(win32::WindowDC(nullptr).Get(), LOGPIXELSX);
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(std::make_pair(int(client.right), int(client.bottom)),
              std::make_pair(MulDiv(layout.clientWidth, dpi, wizard::kTwipsPerInch),
                             MulDiv(layout.clientHeight, dpi, wizard::kTwipsPerInch)));
    EXPECT_FALSE(GetWindowLongW(page, GWL_STYLE) & WS_THICKFRAME) << "the page can be resized";
    const std::vector<HWND> seen = Children(page);
    const auto want = layout.InTabOrder();
    for (size_t i = 0; i < want.size() && i < seen.size(); ++i)
        EXPECT_EQ((GetWindowLongW(seen[i], GWL_STYLE) & WS_TABSTOP) != 0, want[i]->kind != ControlKind::Label)
            << mend::Utf8FromWide(want[i]->name);
    auto first =
        std::find_if(want.begin(), want.end(), [](auto *c) { return c->kind != ControlKind::Label; });
    HWND focus = GetDlgItem(page, wizard::ControlId(**first));
    EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(page) == focus; }, 5000)) << "not on the first tab stop";
    SaveScreenshot(page, L"wizard-" + std::wstring(layout.name));
}

} // namespace

// Every page is reached, checked against its layout and left by Exit (Finish on the last page),
// which ends the program at once; closing a page's frame does the same. On the way the questions
// are answered as the row says and every install page is skipped: the pages come in the order the
// answers give, no message shows and the game folder stays as it was. On Windows XP (as Wine's
// setting for the program names it) the XP box is pre-ticked, and once unticked it counts.
TEST(WizardGui, EveryRouteShowsItsPagesSkipChangesNothingAndExitEndsTheProgram) {
    using P = PageId;
    const struct {
        std::vector<PageId> route;
        wizard::Answers answers;
        bool closeFrame = false, windowsXP = false;
    } cases[] = {
        {{P::frmStart}, {}},
        {{P::frmStart, P::frmStep1}, {}},
        {{P::frmStart, P::frmStep1}, {}, true},
        {{P::frmStart, P::frmStep1, P::frmStep2}, {}, false, true},
        {{P::frmStart, P::frmStep1, P::frmStep2}, {}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3}, {1, 0, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep4}, {0, 1, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep5}, {0, 0, 1, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep6}, {0, 0, 0, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep8}, {0, 0, 1, 0}, false, true},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep4, P::frmStep6, P::frmStep8, P::frmStep9},
         {0, 1, 0, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3, P::frmStep4, P::frmStep5, P::frmStep8,
          P::frmStep9},
         {1, 1, 1, 1}},
        {{P::frmStart, P::frmStep1, P::frmUninstall}, {}},
    };
    const wchar_t *wineSetting = L"Software\\Wine\\AppDefaults\\mendpack.exe";
    for (const auto &c : cases) {
        const PageId last = c.route.back();
        SCOPED_TRACE(mend::Utf8FromWide(std::wstring(c.closeFrame ? L"frame closed on " : L"Exit on ") +
                                        wizard::LayoutOf(last).name +
                                        (c.windowsXP ? L" on Windows XP" : L"")));
        RegDeleteKeyW(HKEY_CURRENT_USER, wineSetting);
        if (c.windowsXP)
            SHSetValueW(HKEY_CURRENT_USER, wineSetting, L"Version", REG_SZ, L"winxp64", 16);
        TempFolder folder(L"game");
        // A game folder that the install path's checks accept without running the patch step.
        WriteFile(folder / L"falcon.exe", "stand-in game");
        WriteFile(folder / L"1078patch Readme .txt", "patched");
        const std::vector<std::wstring> before = List(folder.Path());
        wizdrive::WizardRun run(folder.Path());
        HWND page = run.Walk(c.route, c.answers, L"Skip");
        if (!page)
            continue;
        if (c.closeFrame) {
            PostClose(page);
        } else {
            Inspect(page, last);
            if (last == PageId::frmStep1) {
                EXPECT_TRUE(run.IsChecked(page, last, L"btnInstall") &&
                            !run.IsChecked(page, last, L"btnUninstall"));
            }
            if (last == PageId::frmStep2) {
                EXPECT_EQ(run.IsChecked(page, last, L"chkWinXP"), c.windowsXP);
            }
            run.Click(page, last, last == PageId::frmStart ? L"ExitStart" : L"Exit");
        }
        DWORD code = 99;
        EXPECT_TRUE(run.WaitForExit(&code) && code == 0) << "the wizard did not end well: " << code;
        EXPECT_EQ(run.Messages(), std::vector<std::wstring>{});
        EXPECT_EQ(List(folder.Path()), before);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, wineSetting);
}
