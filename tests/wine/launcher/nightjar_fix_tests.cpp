// "Fix GF3D Sound" on real preference files in a test game folder.
#include <gtest/gtest.h>

#include "nightjar_driver.h"

using namespace wintest;
using namespace nightjar_test;

namespace {

const ShownMessage kAttributeFailed{L"File not found", L"file not found"};
const ShownMessage kSinglePlayerMissing{L"File not found", L"gfprefs.dat file not found"};
const ShownMessage kMultiplayerMissing{L"File not found", L"mpprefs.dat file not found"};
const ShownMessage kStreamFailed{L"error", L"error creating file stream"};
using Messages = std::vector<ShownMessage>;

TEST(NightjarFix, PatchesFreezesAndStartsMultiplayerOncePerPress) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.MultiplayerPrefs(), prefs);
    std::string singlePrefs = PreferenceBytes(90);
    WriteFile(game.SinglePlayerPrefs(), singlePrefs);
    Nightjar nightjar(game);
    nightjar.Click(kFreezePrefs);
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Answer(), Messages{});

    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    ExpectPatched(game.MultiplayerPrefs(), prefs);
    EXPECT_TRUE(IsReadOnly(game.MultiplayerPrefs()));
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"falconmmp.exe|"});
    EXPECT_EQ(ReadFile(game.SinglePlayerPrefs()), singlePrefs) << "the other file is not touched";
    EXPECT_FALSE(IsReadOnly(game.SinglePlayerPrefs()));

    // The dialog stays open, and the next press does it all again, game start included.
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    ExpectPatched(game.MultiplayerPrefs(), prefs);
    EXPECT_TRUE(IsReadOnly(game.MultiplayerPrefs()));
    EXPECT_EQ(game.Launches(), (std::vector<std::string>{"falconmmp.exe|", "falconmmp.exe|"}));
    EXPECT_EQ(nightjar.CloseWith(PostClose), 0u);
}

TEST(NightjarFix, ThawsPatchesAndRefreezesAFrozenSinglePlayerFileKeepingItsOtherAttributes) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.SinglePlayerPrefs(), prefs);
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    // Hidden and archive stand for "every other attribute": only the read-only bit may change.
    DWORD others = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(game.SinglePlayerPrefs().c_str(), others | FILE_ATTRIBUTE_READONLY));
    DWORD before = GetFileAttributesW(game.SinglePlayerPrefs().c_str());
    ASSERT_TRUE(before & FILE_ATTRIBUTE_READONLY);

    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "the option shows its own file's state";
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});

    ExpectPatched(game.SinglePlayerPrefs(), prefs);
    EXPECT_EQ(GetFileAttributesW(game.SinglePlayerPrefs().c_str()), before);
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"falcon.exe|"});
}

TEST(NightjarFix, LeavesTheFileWritableWhenFreezeIsUntickedAndStartsNothingUnasked) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.MultiplayerPrefs(), prefs);
    SetReadOnly(game.MultiplayerPrefs(), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    ASSERT_TRUE(nightjar.Ticked(kFreezePrefs));
    nightjar.Click(kFreezePrefs);
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    ExpectPatched(game.MultiplayerPrefs(), prefs);
    EXPECT_FALSE(IsReadOnly(game.MultiplayerPrefs()));

    // A writable file stays writable.
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    EXPECT_FALSE(IsReadOnly(game.MultiplayerPrefs()));
    EXPECT_TRUE(game.Launches().empty());
}

TEST(NightjarFix, GrowsAShortFileToReachTheByte) {
    GameFolder game;
    std::string prefs = PreferenceBytes(10);
    WriteFile(game.MultiplayerPrefs(), prefs);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    ExpectPatched(game.MultiplayerPrefs(), prefs); // 69 bytes, the gap filled with zeros

    // A file of exactly 68 bytes gets the byte appended.
    std::string exact = PreferenceBytes(68);
    WriteFile(game.MultiplayerPrefs(), exact);
    EXPECT_EQ(nightjar.Press(kFixSound), Messages{});
    ExpectPatched(game.MultiplayerPrefs(), exact);
}

TEST(NightjarFix, ReportsAFileHeldWithoutSharingAndStillFreezesAndLaunches) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.MultiplayerPrefs(), prefs);
    Nightjar nightjar(game);
    nightjar.Click(kFreezePrefs);
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    {
        HANDLE held =
            CreateFileW(game.MultiplayerPrefs().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(nightjar.Press(kFixSound), Messages{kStreamFailed});
        CloseHandle(held);
    }
    EXPECT_EQ(ReadFile(game.MultiplayerPrefs()), prefs) << "the byte is not written";
    EXPECT_TRUE(IsReadOnly(game.MultiplayerPrefs())) << "the freeze step still ran";
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"falconmmp.exe|"});
}

TEST(NightjarFix, StopsOnAMissingSinglePlayerFileWithTwoMessages) {
    GameFolder game;
    std::string prefs = PreferenceBytes();
    WriteFile(game.MultiplayerPrefs(), prefs);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    nightjar.Click(kFreezePrefs);
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{kSinglePlayerMissing});
    EXPECT_TRUE(nightjar.Ticked(kSinglePlayer));
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "keeps its tick when the file is missing";

    EXPECT_EQ(nightjar.Press(kFixSound), (Messages{kAttributeFailed, kSinglePlayerMissing}));
    EXPECT_FALSE(Exists(game.SinglePlayerPrefs())) << "never created";
    EXPECT_TRUE(game.Launches().empty());
    EXPECT_EQ(ReadFile(game.MultiplayerPrefs()), prefs);
    EXPECT_FALSE(IsReadOnly(game.MultiplayerPrefs()));
}

TEST(NightjarFix, StopsOnAMissingMultiplayerFileWithTwoMessages) {
    GameFolder game;
    Nightjar nightjar(game);
    auto atStart = WaitForMessageBox(L"File not found", nightjar.Pid());
    ASSERT_TRUE(atStart);
    ASSERT_TRUE(PressOk(atStart->window));
    nightjar.Click(kLaunchGame);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{kMultiplayerMissing});
    EXPECT_EQ(nightjar.Press(kFixSound), (Messages{kAttributeFailed, kMultiplayerMissing}));
    EXPECT_FALSE(Exists(game.MultiplayerPrefs()));
    EXPECT_TRUE(game.Launches().empty());
}

} // namespace
