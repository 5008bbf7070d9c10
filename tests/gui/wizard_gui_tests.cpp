// The wizard end to end: the real mendpack.exe in a temporary game folder, driven by messages.
#include <gtest/gtest.h>

#include "common/text.h"
#include "support/gui.h"
#include "support/temp_folder.h"
#include "win32/handle.h"
#include "wizard/pages/routing.h"
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

// A control as one line: kind, text, place in pixels, tab stop, visibility.
std::wstring Line(const wchar_t *kind, const std::wstring &text, const RECT &r, bool tabStop, bool visible) {
    return std::wstring(kind) + L" \"" + text + L"\" at " + Describe(r) + (tabStop ? L", tab stop" : L"") +
           (visible ? L"" : L", hidden");
}

const wchar_t *KindOf(const ControlInfo &c) {
    if (c.className == L"Static")
        return L"label";
    if (c.className != L"Button")
        return L"?";
    DWORD type = c.ButtonType();
    return type == BS_AUTOCHECKBOX                             ? L"check box"
           : type == BS_AUTORADIOBUTTON                        ? L"option"
           : type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? L"button"
                                                               : L"?";
}

// The page against its layout: caption, fixed client size, and its controls in tab order.
void ExpectLayout(HWND page, PageId id) {
    const wizard::PageLayout &layout = wizard::LayoutOf(id);
    const int dpi = ScreenDpi();
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, wizard::kTwipsPerInch); };
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(Describe(client), Describe({0, 0, px(layout.clientWidth), px(layout.clientHeight)}));
    EXPECT_EQ(WindowText(page), layout.caption);
    EXPECT_FALSE(GetWindowLongW(page, GWL_STYLE) & WS_THICKFRAME) << "the page can be resized";
    const wchar_t *kinds[] = {L"label", L"check box", L"option", L"button"};
    std::vector<std::wstring> want, seen;
    for (const wizard::ControlLayout *c : layout.InTabOrder())
        want.push_back(Line(kinds[static_cast<int>(c->kind)], c->text,
                            {px(c->left), px(c->top), px(c->left) + px(c->width), px(c->top) + px(c->height)},
                            c->kind != ControlKind::Label, true));
    for (const ControlInfo &c : ChildControls(page))
        seen.push_back(Line(KindOf(c), c.text, c.rect, (c.style & WS_TABSTOP) != 0, c.visible));
    EXPECT_EQ(seen, want);
}

// What the user sees on arrival at a page: its layout, the focus on its first tab stop, and a
// screenshot for the README.
void Inspect(HWND page, PageId id) {
    ASSERT_NE(page, nullptr);
    ExpectLayout(page, id);
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
            if (last == PageId::frmStep1) {
                EXPECT_TRUE(run.IsChecked(page, last, L"btnInstall") &&
                            !run.IsChecked(page, last, L"btnUninstall"));
            }
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
