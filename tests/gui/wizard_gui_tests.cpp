// The wizard end to end: the real mendpack.exe in a temporary game folder, driven by messages.
#include <gtest/gtest.h>

#include "common/text.h"
#include "support/gui.h"
#include "wizard/routing.h"
#include "wizard_driver.h"

using namespace wintest;
using namespace wizdrive;
using wizard::PageId;

namespace {

std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

std::string Name(PageId id) { return mend::Utf8FromWide(wizard::LayoutOf(id).name); }

// Checks what the user sees on arrival at a page: the table, the focus, and a screenshot.
void Inspect(HWND page, PageId id, bool screenshot = false) {
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Join(CompareWithTable(page, id)), "") << Name(id);
    auto ordered = wizard::LayoutOf(id).InTabOrder();
    for (auto* c : ordered) {
        if (c->kind == wizard::ControlKind::Label) continue;
        HWND first = GetDlgItem(page, wizard::ControlId(*c));
        EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(page) == first; }, 5000))
            << Name(id) << ": focus is not on " << mend::Utf8FromWide(c->name);
        break;
    }
    if (screenshot) SaveScreenshot(page, L"wizard-" + std::wstring(wizard::LayoutOf(id).name));
}

struct Walk {
    GameFolder folder;
    WizardRun run{folder.Path()};

    HWND ToStep1() {
        HWND start = run.WaitForPage(PageId::frmStart);
        if (!start) return nullptr;
        return run.Advance(start, PageId::frmStart, L"NextStart", PageId::frmStep1);
    }
    HWND ToStep2() {
        HWND step1 = ToStep1();
        return step1 ? run.Advance(step1, PageId::frmStep1, L"Next", PageId::frmStep2) : nullptr;
    }
    void ExpectEndsWithCode0() {
        DWORD code = 99;
        EXPECT_TRUE(run.WaitForExit(&code)) << "the wizard did not end";
        EXPECT_EQ(code, 0u);
    }
};

}  // namespace

TEST(WizardGui, InstallPathWithEveryBoxTickedShowsEachPageAsItsTableSays) {
    Walk w;
    HWND page = w.run.WaitForPage(PageId::frmStart);
    Inspect(page, PageId::frmStart, true);
    page = w.run.Advance(page, PageId::frmStart, L"NextStart", PageId::frmStep1);
    Inspect(page, PageId::frmStep1, true);
    EXPECT_TRUE(w.run.IsChecked(page, PageId::frmStep1, L"btnInstall"));
    EXPECT_FALSE(w.run.IsChecked(page, PageId::frmStep1, L"btnUninstall"));
    page = w.run.Advance(page, PageId::frmStep1, L"Next", PageId::frmStep2);
    Inspect(page, PageId::frmStep2, true);
    w.run.SetAnswers(page, {1, 1, 1, 1});
    const PageId route[] = {PageId::frmStep2, PageId::frmStep3, PageId::frmStep4, PageId::frmStep5, PageId::frmStep8,
                            PageId::frmStep9};
    for (size_t i = 0; i + 1 < std::size(route); ++i) {
        page = w.run.Advance(page, route[i], L"Next", route[i + 1]);
        Inspect(page, route[i + 1], true);
    }
    w.run.Click(page, PageId::frmStep9, L"Exit");
    w.ExpectEndsWithCode0();
}

TEST(WizardGui, TheGlideOSPageAndTheUninstallPageMatchTheirTables) {
    {
        Walk w;
        HWND page = w.ToStep2();
        w.run.SetAnswers(page, {0, 0, 0, 1});
        page = w.run.Advance(page, PageId::frmStep2, L"Next", PageId::frmStep6);
        Inspect(page, PageId::frmStep6, true);
    }
    Walk w;
    HWND page = w.ToStep1();
    w.run.Click(page, PageId::frmStep1, L"btnUninstall");
    EXPECT_TRUE(WaitUntil([&] { return w.run.IsChecked(page, PageId::frmStep1, L"btnUninstall"); }));
    EXPECT_FALSE(w.run.IsChecked(page, PageId::frmStep1, L"btnInstall"));
    page = w.run.Advance(page, PageId::frmStep1, L"Next", PageId::frmUninstall);
    Inspect(page, PageId::frmUninstall, true);
}

// Skip walks the same route as Next would, without touching the game folder.
TEST(WizardGui, SkipFollowsTheRouteTheAnswersGive) {
    const wizard::Answers sets[] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 1}, {1, 1, 0, 0}};
    for (const auto& answers : sets) {
        SCOPED_TRACE("answers " + std::to_string(answers.WinXP) + std::to_string(answers.CPUspeed) +
                     std::to_string(answers.NVidia) + std::to_string(answers.VideoMem));
        Walk w;
        HWND page = w.ToStep2();
        ASSERT_NE(page, nullptr);
        w.run.SetAnswers(page, answers);
        PageId at = PageId::frmStep2;
        std::vector<std::wstring> before = List(w.folder.Path());
        while (at != PageId::frmStep9) {
            PageId next = wizard::NextPage(at, answers);
            page = w.run.Advance(page, at, at == PageId::frmStep2 ? L"Next" : L"Skip", next);
            ASSERT_NE(page, nullptr);
            at = next;
        }
        EXPECT_EQ(List(w.folder.Path()), before);
        EXPECT_TRUE(w.run.Messages().empty());
    }
}

TEST(WizardGui, AnUntickedBoxIsStoredAsZero) {
    Walk w;
    HWND page = w.ToStep2();
    ASSERT_NE(page, nullptr);
    w.run.SetAnswers(page, {1, 1, 0, 0});
    w.run.SetAnswers(page, {0, 0, 0, 0});
    w.run.Advance(page, PageId::frmStep2, L"Next", PageId::frmStep8);
}

TEST(WizardGui, ExitOnEveryPageEndsTheProgramAtOnce) {
    struct Case {
        std::vector<PageId> route;
        wizard::Answers answers;
    };
    const Case cases[] = {
        {{PageId::frmStart}, {}},
        {{PageId::frmStart, PageId::frmStep1}, {}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2}, {}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep3}, {1, 0, 0, 0}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep4}, {0, 1, 0, 0}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep5}, {0, 0, 1, 1}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep6}, {0, 0, 0, 1}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep8}, {}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep8, PageId::frmStep9}, {}},
        {{PageId::frmStart, PageId::frmStep1, PageId::frmUninstall}, {}},
    };
    for (const Case& c : cases) {
        PageId last = c.route.back();
        SCOPED_TRACE("Exit on " + Name(last));
        Walk w;
        HWND page = w.run.WaitForPage(PageId::frmStart);
        for (size_t i = 0; page && i + 1 < c.route.size(); ++i) {
            PageId from = c.route[i], to = c.route[i + 1];
            if (from == PageId::frmStep2) w.run.SetAnswers(page, c.answers);
            if (to == PageId::frmUninstall) w.run.Click(page, from, L"btnUninstall");
            std::wstring control = from == PageId::frmStart ? L"NextStart" : from == PageId::frmStep2 ? L"Next" : L"Skip";
            if (from == PageId::frmStep1) control = L"Next";
            page = w.run.Advance(page, from, control, to);
        }
        ASSERT_NE(page, nullptr);
        std::vector<std::wstring> before = List(w.folder.Path());
        w.run.Click(page, last, last == PageId::frmStart ? L"ExitStart" : L"Exit");
        w.ExpectEndsWithCode0();
        EXPECT_EQ(List(w.folder.Path()), before);
    }
}

TEST(WizardGui, ClosingAPageThroughItsFrameEndsTheWizard) {
    Walk w;
    HWND page = w.ToStep1();
    ASSERT_NE(page, nullptr);
    PostClose(page);
    w.ExpectEndsWithCode0();
}

// Wine answers GetVersionEx as the Windows that its per-program setting names.
TEST(WizardGui, OnWindowsXPTheQuestionsPageOpensWithTheXPBoxTicked) {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\mendpack.exe";
    struct Setting {
        const wchar_t* version;
        bool ticked;
    };
    for (Setting s : {Setting{L"winxp64", true}, Setting{L"win2k", false}}) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(s.version),
                       static_cast<DWORD>((wcslen(s.version) + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
        {
            Walk w;
            HWND page = w.ToStep2();
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(w.run.IsChecked(page, PageId::frmStep2, L"chkWinXP"), s.ticked) << mend::Utf8FromWide(s.version);
            // Unticking a pre-ticked box is honoured: the XP page is not shown.
            w.run.SetAnswers(page, {0, 0, 0, 0});
            w.run.Advance(page, PageId::frmStep2, L"Next", PageId::frmStep8);
        }
        RegDeleteKeyW(HKEY_CURRENT_USER, key);
    }
}
