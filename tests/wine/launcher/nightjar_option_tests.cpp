// The two options, which show their file's frozen state, and the help button.
#include <gtest/gtest.h>

#include "nightjar_driver.h"

using namespace wintest;
using namespace nightjar_test;

namespace {

using Messages = std::vector<ShownMessage>;

TEST(NightjarOptions, ShowTheirOwnFilesStateAndReReadItWhenClickedAgain) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    WriteFile(game.SinglePlayerPrefs(), PreferenceBytes());
    SetReadOnly(game.SinglePlayerPrefs(), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    ASSERT_FALSE(nightjar.Ticked(kFreezePrefs));

    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kSinglePlayer));
    EXPECT_FALSE(nightjar.Ticked(kMmp)) << "the options exclude each other";
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));

    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kSinglePlayer));
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));

    // A tick set by hand gives way to the file's state when the selected option is clicked again.
    nightjar.Click(kFreezePrefs);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    ASSERT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kMmp));
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));

    // ...and a change made outside the launcher shows too.
    SetReadOnly(game.MultiplayerPrefs(), true);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_TRUE(game.Launches().empty()) << "clicking options starts nothing";
}

TEST(NightjarHelp, OpensThePageThroughExplorer) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    WriteFile(game / L"Nightjar.htm", "<html></html>");
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Press(kHelpPage), Messages{});
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"explorer.exe|Nightjar.htm"});
}

TEST(NightjarHelp, TellsWhenThePageIsMissing) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Press(kHelpPage), (Messages{{L"File not found", L"No help file found"}}));
    EXPECT_TRUE(game.Launches().empty());
}

} // namespace
