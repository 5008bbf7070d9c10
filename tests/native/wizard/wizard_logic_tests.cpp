#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "wizard/pages/page_layouts.h"
#include "wizard/pages/routing.h"
#include "wizard/services/wizard_state.h"

using namespace wizard;

TEST(Routing, EveryCombinationOfTheFourAnswersShowsTheFittingPagesInTheirFixedOrder) {
    for (int bits = 0; bits < 16; ++bits) {
        const Answers a{int16_t(bits & 1), int16_t(bits >> 1 & 1), int16_t(bits >> 2 & 1),
                        int16_t(bits >> 3 & 1)};
        // The promise to the user: each page only when its answer calls for it; nVidia only picks
        // the emulator when there is enough video memory.
        std::vector<PageId> expected;
        if (a.WinXP)
            expected.push_back(PageId::frmStep3);
        if (a.CPUspeed)
            expected.push_back(PageId::frmStep4);
        if (a.VideoMem)
            expected.push_back(a.NVidia ? PageId::frmStep5 : PageId::frmStep6);
        expected.insert(expected.end(), {PageId::frmStep8, PageId::frmStep9});
        // The route that Next or Skip takes from the questions page.
        std::vector<PageId> route;
        for (PageId page = PageId::frmStep2; page != PageId::frmStep9 && route.size() < 10;)
            route.push_back(page = NextPage(page, a));
        EXPECT_EQ(route, expected) << "answers " << bits;
    }
}

TEST(WizardState, StartsEmptyAndPreTicksFromWhatTheChecksFound) {
    WizardState state;
    EXPECT_TRUE(state.WinVersion.empty() && state.VideoMfg.empty() && !state.Fso);
    const Answers a = state.GetAnswers();
    EXPECT_EQ(a.WinXP | a.CPUspeed | a.NVidia | a.VideoMem, 0);
    struct Case {
        const wchar_t *version, *maker;
        bool xp, nvidia;
    };
    const Case cases[] = {
        {L"", L"", false, false},
        {L"windows xp", L"nvidia corporation", true, true},
        {L"windows 2000", L"ati technologies inc.", false, false},
        {L"windows 98 se", L"geforce by nvidia", false, true},
        // The checks lower-case both fields first; the tests themselves are plain.
        {L"Windows XP", L"NVIDIA", false, false},
    };
    for (const Case &c : cases) {
        state.WinVersion = c.version;
        state.VideoMfg = c.maker;
        EXPECT_EQ(PreTickWinXP(state), c.xp) << c.version;
        EXPECT_EQ(PreTickNVidia(state), c.nvidia) << c.maker;
    }
}

// A control's id comes from its tab index, so a page's indexes must be unique.
TEST(PageLayouts, ControlsHaveUniqueNamesAndTabIndexesFromZeroWithoutGaps) {
    for (PageId id : AllPages()) {
        std::set<std::wstring> names;
        std::set<int> tabs;
        for (const ControlLayout &c : LayoutOf(id).controls) {
            EXPECT_TRUE(names.insert(c.name).second) << "duplicate name on a page";
            EXPECT_TRUE(tabs.insert(c.tab).second) << "duplicate tab index on a page";
        }
        EXPECT_EQ(*tabs.rbegin(), static_cast<int>(tabs.size()) - 1);
    }
}

TEST(PageLayouts, TextsKeepTheirDoubleSpaces) {
    const std::wstring uninstall = LayoutOf(PageId::frmUninstall).Find(L"Label2")->text;
    EXPECT_EQ(uninstall.substr(uninstall.size() - 3), L".  ");
    EXPECT_NE(std::wstring(LayoutOf(PageId::frmStep8).Find(L"Label2")->text).find(L"install  pre-configured"),
              std::wstring::npos);
    EXPECT_STREQ(LayoutOf(PageId::frmStep9).Find(L"Exit")->text, L"Finish");
}
