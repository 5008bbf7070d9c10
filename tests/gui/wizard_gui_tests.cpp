// The wizard end to end: the real mendpack.exe in a temporary game folder, driven by messages.
#include <gtest/gtest.h>

#include "common/text.h"
#include "support/gui.h"
#include "support/temp_folder.h"
#include "win32/handle.h"
#include "wizard/routing.h"
#include "wizard_driver.h"

using namespace wintest;
using namespace wizdrive;
using wizard::ControlKind;
using wizard::PageId;

namespace {

std::string Name(PageId id) {
    return mend::Utf8FromWide(wizard::LayoutOf(id).name);
}

// A game folder that the install path's checks accept without running the patch step.
struct GameFolder : TempFolder {
    GameFolder() : TempFolder(L"game") {
        WriteFile(*this / L"falcon.exe", "stand-in game");
        WriteFile(*this / L"1078patch Readme .txt", "patched");
    }
};

bool KindMatches(const ControlInfo &info, ControlKind kind) {
    DWORD type = info.ButtonType();
    if (kind == ControlKind::Label)
        return info.className == L"Static";
    return info.className == L"Button" &&
           (kind == ControlKind::CheckBox       ? type == BS_AUTOCHECKBOX
            : kind == ControlKind::OptionButton ? type == BS_AUTORADIOBUTTON
                                                : type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The page's controls against its layout: kind, text, place, tab order and stop, visibility;
// the differences, one per line.
std::string CompareWithLayout(HWND page, PageId id) {
    const wizard::PageLayout &layout = wizard::LayoutOf(id);
    auto ordered = layout.InTabOrder();
    std::vector<ControlInfo> children = ChildControls(page);
    if (children.size() != ordered.size())
        return "control count " + std::to_string(children.size()) + "\n";
    const int dpi = ScreenDpi();
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, wizard::kTwipsPerInch); };
    std::string differences;
    RECT client;
    GetClientRect(page, &client);
    if (client.right != px(layout.clientWidth) || client.bottom != px(layout.clientHeight))
        differences += "client area " + mend::Utf8FromWide(Describe(client)) + "\n";
    if (WindowText(page) != layout.caption)
        differences += "caption " + mend::Utf8FromWide(WindowText(page)) + "\n";
    if (GetWindowLongW(page, GWL_STYLE) & WS_THICKFRAME)
        differences += "the page can be resized\n";
    for (size_t i = 0; i < ordered.size(); ++i) {
        const wizard::ControlLayout &c = *ordered[i];
        const ControlInfo &info = children[i];
        const std::string where = mend::Utf8FromWide(c.name) + " (tab " + std::to_string(c.tab) + "): ";
        RECT want{px(c.left), px(c.top), px(c.left) + px(c.width), px(c.top) + px(c.height)};
        if (!KindMatches(info, c.kind))
            differences += where + "kind " + mend::Utf8FromWide(info.className) + "\n";
        if (info.text != c.text)
            differences += where + "text " + mend::Utf8FromWide(info.text) + "\n";
        if (!EqualRect(&want, &info.rect))
            differences +=
                where + "at " + mend::Utf8FromWide(Describe(info.rect) + L", not " + Describe(want)) + "\n";
        if (((info.style & WS_TABSTOP) != 0) != (c.kind != ControlKind::Label))
            differences += where + "tab stop\n";
        if (!info.visible)
            differences += where + "hidden\n";
    }
    return differences;
}

// What the user sees on arrival at a page: its layout, the focus on its first tab stop, and a
// screenshot for the README.
void Inspect(HWND page, PageId id) {
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(CompareWithLayout(page, id), "") << Name(id);
    for (auto *c : wizard::LayoutOf(id).InTabOrder())
        if (c->kind != ControlKind::Label) {
            HWND first = GetDlgItem(page, wizard::ControlId(*c));
            EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(page) == first; }, 5000))
                << Name(id) << ": the focus is not on " << mend::Utf8FromWide(c->name);
            break;
        }
    SaveScreenshot(page, L"wizard-" + std::wstring(wizard::LayoutOf(id).name));
}

// Walks from frmStart along `route`, answering the questions page with `answers`: Next up to the
// questions page, Skip on the install pages, so the game folder stays as it was.
HWND Walk(WizardRun &run, const std::vector<PageId> &route, const wizard::Answers &answers = {}) {
    HWND page = run.WaitForPage(PageId::frmStart);
    for (size_t i = 0; page && i + 1 < route.size(); ++i) {
        PageId from = route[i], to = route[i + 1];
        if (from == PageId::frmStep2)
            run.SetAnswers(page, answers);
        if (to == PageId::frmUninstall)
            run.Click(page, from, L"btnUninstall");
        const wchar_t *control = from == PageId::frmStart                               ? L"NextStart"
                                 : from == PageId::frmStep1 || from == PageId::frmStep2 ? L"Next"
                                                                                        : L"Skip";
        page = run.Advance(page, from, control, to);
    }
    return page;
}

void ExpectEndsWithCode0(WizardRun &run) {
    DWORD code = 99;
    EXPECT_TRUE(run.WaitForExit(&code)) << "the wizard did not end";
    EXPECT_EQ(code, 0u);
}

} // namespace

// Every page is reached once, checked against its layout, and left by Exit (Finish on the last
// page), which ends the program at once and changes nothing; closing a page's frame does the same.
TEST(WizardGui, EveryPageShowsItsLayoutAndExitEndsTheProgramAtOnce) {
    using P = PageId;
    struct Case {
        std::vector<PageId> route;
        wizard::Answers answers;
        bool closeFrame = false;
    };
    const Case cases[] = {
        {{P::frmStart}, {}},
        {{P::frmStart, P::frmStep1}, {}},
        {{P::frmStart, P::frmStep1, P::frmStep2}, {}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3}, {1, 0, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep4}, {0, 1, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep5}, {0, 0, 1, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep6}, {0, 0, 0, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep8}, {}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep8, P::frmStep9}, {}},
        {{P::frmStart, P::frmStep1, P::frmUninstall}, {}},
        {{P::frmStart, P::frmStep1}, {}, true},
    };
    for (const Case &c : cases) {
        const PageId last = c.route.back();
        SCOPED_TRACE((c.closeFrame ? "frame closed on " : "Exit on ") + Name(last));
        GameFolder folder;
        WizardRun run(folder.Path());
        HWND page = Walk(run, c.route, c.answers);
        ASSERT_NE(page, nullptr);
        const std::vector<std::wstring> before = List(folder.Path());
        if (c.closeFrame) {
            PostClose(page);
        } else {
            Inspect(page, last);
            if (last == PageId::frmStep1)
                EXPECT_TRUE(run.IsChecked(page, last, L"btnInstall") &&
                            !run.IsChecked(page, last, L"btnUninstall"));
            run.Click(page, last, last == PageId::frmStart ? L"ExitStart" : L"Exit");
        }
        ExpectEndsWithCode0(run);
        EXPECT_EQ(List(folder.Path()), before);
    }
}

// The install pages come in the order the answers give, Skip changes nothing, Finish ends it.
TEST(WizardGui, SkipFollowsTheRouteTheAnswersGive) {
    for (const wizard::Answers &answers :
         {wizard::Answers{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 1}, {1, 1, 1, 1}}) {
        std::vector<PageId> route = {PageId::frmStart, PageId::frmStep1, PageId::frmStep2};
        while (route.back() != PageId::frmStep9)
            route.push_back(wizard::NextPage(route.back(), answers));
        std::string names;
        for (PageId id : route)
            names += Name(id) + " ";
        SCOPED_TRACE(names);
        GameFolder folder;
        const std::vector<std::wstring> before = List(folder.Path());
        WizardRun run(folder.Path());
        HWND page = Walk(run, route, answers);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(List(folder.Path()), before);
        EXPECT_TRUE(run.Messages().empty());
        run.Click(page, PageId::frmStep9, L"Exit");
        ExpectEndsWithCode0(run);
    }
}

// Wine answers GetVersionEx as the Windows that its per-program setting names; the box that the
// checks pre-tick, once unticked, is stored as 0: the XP page is not shown.
TEST(WizardGui, OnWindowsXPTheXPBoxIsPreTickedAndAnUntickedBoxCounts) {
    const wchar_t *key = L"Software\\Wine\\AppDefaults\\mendpack.exe", *version = L"winxp64";
    {
        win32::RegKey k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Receive(),
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k.Get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version),
                       static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    }
    [] {
        GameFolder folder;
        WizardRun run(folder.Path());
        HWND page = Walk(run, {PageId::frmStart, PageId::frmStep1, PageId::frmStep2});
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(run.IsChecked(page, PageId::frmStep2, L"chkWinXP"));
        run.SetAnswers(page, {0, 0, 0, 0});
        EXPECT_TRUE(run.Advance(page, PageId::frmStep2, L"Next", PageId::frmStep8));
    }();
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
}
