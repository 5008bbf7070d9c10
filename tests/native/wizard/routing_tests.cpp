#include <gtest/gtest.h>

#include <vector>

#include "wizard/routing.h"
#include "wizard/wizard_state.h"

using namespace wizard;

namespace {

// Walks the install path from the questions page to the last page, as Next or Skip would.
std::vector<PageId> Route(const Answers& a) {
    std::vector<PageId> pages;
    PageId page = PageId::frmStep2;
    for (int guard = 0; guard < 10 && page != PageId::frmStep9; ++guard) {
        page = NextPage(page, a);
        pages.push_back(page);
    }
    return pages;
}

// The promise to the user, told the other way round: the pages in their fixed order, each only
// when its answer calls for it.
std::vector<PageId> Expected(const Answers& a) {
    std::vector<PageId> pages;
    if (a.WinXP) pages.push_back(PageId::frmStep3);
    if (a.CPUspeed) pages.push_back(PageId::frmStep4);
    if (a.VideoMem && a.NVidia) pages.push_back(PageId::frmStep5);
    if (a.VideoMem && !a.NVidia) pages.push_back(PageId::frmStep6);
    pages.push_back(PageId::frmStep8);
    pages.push_back(PageId::frmStep9);
    return pages;
}

}  // namespace

TEST(Routing, EveryCombinationOfTheFourAnswersShowsTheFittingPagesInOrder) {
    for (int bits = 0; bits < 16; ++bits) {
        Answers a;
        a.WinXP = bits & 1;
        a.CPUspeed = (bits >> 1) & 1;
        a.NVidia = (bits >> 2) & 1;
        a.VideoMem = (bits >> 3) & 1;
        EXPECT_EQ(Route(a), Expected(a)) << "answers " << bits;
    }
}

TEST(Routing, KnownJourneys) {
    Answers none;
    EXPECT_EQ(Route(none), (std::vector<PageId>{PageId::frmStep8, PageId::frmStep9}));

    Answers nvidiaOnly;
    nvidiaOnly.NVidia = 1;  // matters only together with the video memory
    EXPECT_EQ(Route(nvidiaOnly), (std::vector<PageId>{PageId::frmStep8, PageId::frmStep9}));

    Answers all{1, 1, 1, 1};
    EXPECT_EQ(Route(all), (std::vector<PageId>{PageId::frmStep3, PageId::frmStep4, PageId::frmStep5, PageId::frmStep8,
                                               PageId::frmStep9}));

    Answers memoryOnly;
    memoryOnly.VideoMem = 1;
    EXPECT_EQ(Route(memoryOnly), (std::vector<PageId>{PageId::frmStep6, PageId::frmStep8, PageId::frmStep9}));
}

TEST(Routing, EmulatorPagesAlwaysLeadToThePresets) {
    for (Answers a : {Answers{}, Answers{1, 1, 1, 1}, Answers{0, 0, 0, 1}}) {
        EXPECT_EQ(NextPage(PageId::frmStep5, a), PageId::frmStep8);
        EXPECT_EQ(NextPage(PageId::frmStep6, a), PageId::frmStep8);
        EXPECT_EQ(NextPage(PageId::frmStep8, a), PageId::frmStep9);
    }
}

TEST(WizardState, StartsEmptyAndKeepsTheAnswersAsStored) {
    WizardState state;
    EXPECT_TRUE(state.WinVersion.empty());
    EXPECT_TRUE(state.VideoMfg.empty());
    EXPECT_FALSE(state.Fso);
    Answers a = state.GetAnswers();
    EXPECT_EQ(a.WinXP + a.CPUspeed + a.NVidia + a.VideoMem, 0);

    state.StoreAnswers({1, 0, 1, 0});
    EXPECT_EQ(state.WinXP, 1);
    EXPECT_EQ(state.CPUspeed, 0);
    EXPECT_EQ(state.NVidia, 1);
    EXPECT_EQ(state.VideoMem, 0);
}

TEST(WizardState, PreTicksFollowWhatTheChecksFound) {
    WizardState state;
    EXPECT_FALSE(PreTickWinXP(state));
    EXPECT_FALSE(PreTickNVidia(state));

    state.WinVersion = L"windows xp";
    state.VideoMfg = L"nvidia corporation";
    EXPECT_TRUE(PreTickWinXP(state));
    EXPECT_TRUE(PreTickNVidia(state));

    state.WinVersion = L"windows 2000";
    state.VideoMfg = L"ati technologies inc.";
    EXPECT_FALSE(PreTickWinXP(state));
    EXPECT_FALSE(PreTickNVidia(state));

    // Both fields are lower case by the time the page loads; the tests themselves are plain.
    state.WinVersion = L"Windows XP";
    EXPECT_FALSE(PreTickWinXP(state));
}
