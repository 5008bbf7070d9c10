// "Fix GF3D Sound" on real preference files in a test game folder.
#include <gtest/gtest.h>

#include "nightjar_driver.h"

using namespace wintest;
using namespace nightjar_test;

namespace {

TEST(NightjarFix, PatchesFreezesAndStartsMultiplayerOncePerPress) {
    GameFolder game;
    std::string prefs = PreferenceBytes(), singlePrefs = PreferenceBytes(90);
    WriteFile(game.MultiplayerPrefs(), prefs);
    WriteFile(game.SinglePlayerPrefs(), singlePrefs);
    Nightjar nightjar(game);
    nightjar.Click(kFreezePrefs);
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    for (size_t press = 1; press <= 2; ++press) {
        EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
        ExpectPatched(game.MultiplayerPrefs(), prefs);
        EXPECT_TRUE(IsReadOnly(game.MultiplayerPrefs()));
        EXPECT_EQ(game.Launches(), std::vector<std::string>(press, "falconmmp.exe|"))
            << "the dialog stays open";
    }
    EXPECT_EQ(ReadFile(game.SinglePlayerPrefs()), singlePrefs) << "the other file is not touched";
    EXPECT_FALSE(IsReadOnly(game.SinglePlayerPrefs()));
    EXPECT_EQ(nightjar.CloseWith(PostClose), 0u);
}

// Whatever the file was, it ends read-only exactly when the box is ticked, and only that one
// attribute changes (hidden and archive stand for every other).
TEST(NightjarFix, TheFileEndsFrozenExactlyWhenTheBoxIsTicked) {
    struct Case {
        bool singlePlayer, frozenBefore, freeze, launch;
    };
    for (Case c : {Case{true, true, true, true}, Case{false, true, false, false},
                   Case{false, false, false, true}, Case{true, false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "single player " << c.singlePlayer << ", frozen before "
                                        << c.frozenBefore << ", freeze " << c.freeze);
        GameFolder game;
        std::string prefs = PreferenceBytes();
        WriteFile(game.SinglePlayerPrefs(), prefs);
        WriteFile(game.MultiplayerPrefs(), prefs);
        const std::wstring file = c.singlePlayer ? game.SinglePlayerPrefs() : game.MultiplayerPrefs();
        ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE |
                                                         (c.frozenBefore ? FILE_ATTRIBUTE_READONLY : 0)));
        // As the file system keeps them: Wine loses the hidden bit that comes with a read-only one.
        const DWORD others = GetFileAttributesW(file.c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);

        Nightjar nightjar(game);
        if (c.singlePlayer)
            nightjar.Click(kSinglePlayer);
        EXPECT_EQ(nightjar.Answer(), Messages{});
        EXPECT_EQ(nightjar.Ticked(kFreezePrefs), c.frozenBefore) << "the option shows its own file's state";
        if (c.freeze != c.frozenBefore)
            nightjar.Click(kFreezePrefs);
        if (c.launch)
            nightjar.Click(kLaunchGame);
        EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
        ExpectPatched(file, prefs);
        EXPECT_EQ(GetFileAttributesW(file.c_str()), others | (c.freeze ? FILE_ATTRIBUTE_READONLY : 0));
        std::vector<std::string> started;
        if (c.launch)
            started.push_back(c.singlePlayer ? "falcon.exe|" : "falconmmp.exe|");
        EXPECT_EQ(game.Launches(), started);
    }
}

TEST(NightjarFix, GrowsAShortFileToReachTheByte) {
    GameFolder game;
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{kMultiplayerMissing});
    for (size_t length : {10, 68}) {
        std::string prefs = PreferenceBytes(length);
        WriteFile(game.MultiplayerPrefs(), prefs);
        EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
        ExpectPatched(game.MultiplayerPrefs(), prefs); // 69 bytes, any gap filled with zeros
    }
}

TEST(NightjarFix, ReportsAFileHeldWithoutSharingAndStillFreezesAndLaunches) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.MultiplayerPrefs(), prefs);
    Nightjar nightjar(game);
    nightjar.Click(kFreezePrefs);
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    HANDLE held =
        CreateFileW(game.MultiplayerPrefs().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{kStreamFailed});
    CloseHandle(held);
    EXPECT_EQ(ReadFile(game.MultiplayerPrefs()), prefs) << "the byte is not written";
    EXPECT_TRUE(IsReadOnly(game.MultiplayerPrefs())) << "the freeze step still ran";
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"falconmmp.exe|"});
}

// The option's click says the file is missing; the fix then fails to thaw it, says so again, and
// stops before anything else: no file made, no attribute changed, no game started.
TEST(NightjarFix, StopsOnAMissingFileAfterTwoMessages) {
    for (bool singlePlayer : {true, false}) {
        SCOPED_TRACE(singlePlayer ? "single player" : "multiplayer");
        GameFolder game;
        std::string prefs = PreferenceBytes();
        if (singlePlayer)
            WriteFile(game.MultiplayerPrefs(), prefs);
        const Message missing = singlePlayer ? kSinglePlayerMissing : kMultiplayerMissing;
        Nightjar nightjar(game);
        EXPECT_EQ(nightjar.Answer(), singlePlayer ? Messages{} : Messages{missing});
        nightjar.Click(kFreezePrefs);
        nightjar.Click(kLaunchGame);
        EXPECT_EQ(nightjar.Press(singlePlayer ? kSinglePlayer : kMmp), Messages{missing});
        EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "keeps its tick when the file is missing";

        EXPECT_EQ(nightjar.Press(kFixSound), (Messages{kAttributeFailed, missing}));
        EXPECT_FALSE(Exists(singlePlayer ? game.SinglePlayerPrefs() : game.MultiplayerPrefs()))
            << "never created";
        EXPECT_TRUE(game.Launches().empty());
        if (singlePlayer) {
            EXPECT_EQ(ReadFile(game.MultiplayerPrefs()), prefs);
            EXPECT_FALSE(IsReadOnly(game.MultiplayerPrefs()));
        }
    }
}

} // namespace
