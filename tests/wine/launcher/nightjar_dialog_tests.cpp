// The launcher's dialog as the player sees it: layout, first state, the options, help, keys and
// the ways to close it.
#include <gtest/gtest.h>

#include "common/text.h"
#include "nightjar_driver.h"

using namespace wintest;
using namespace nightjar_test;

namespace {

struct ExpectedControl {
    const wchar_t *text;
    int id;
    DWORD buttonType;
    bool tabStop;
    DialogUnitBox units;
};

const ExpectedControl kLayout[] = {
    {L"Fix GF3D Sound", kFixSound, BS_PUSHBUTTON, true, {8, 30, 61, 17}},
    {L"", -1, BS_GROUPBOX, false, {8, 4, 114, 22}},
    {L"Single Player", kSinglePlayer, BS_AUTORADIOBUTTON, false, {16, 12, 57, 10}},
    {L"MMP", kMmp, BS_AUTORADIOBUTTON, false, {80, 12, 33, 10}},
    {L"Freeze Preferences", kFreezePrefs, BS_AUTOCHECKBOX, true, {74, 29, 77, 10}},
    {L"Launch GF3D", kLaunchGame, BS_AUTOCHECKBOX, true, {74, 38, 61, 10}},
    {L"?", kHelpPage, BS_PUSHBUTTON, true, {125, 8, 23, 18}},
};

TEST(NightjarDialog, HasItsTemplateLayoutAndOpensOnMmpWithTheFileFrozenState) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    SetReadOnly(game.MultiplayerPrefs(), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    HWND dialog = nightjar.Dialog();

    DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    DialogBaseUnits base = BaseUnitsOfFont(L"MS Sans Serif", 8);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(Describe(client), Describe(PixelsFromDialogBox({0, 0, 157, 54}, base)));
    // Centred on the screen's work area, give or take the rounding of a half pixel.
    RECT window, work;
    GetWindowRect(dialog, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);

    auto controls = ChildControls(dialog);
    ASSERT_EQ(controls.size(), std::size(kLayout));
    for (size_t i = 0; i < controls.size(); ++i) {
        const auto &c = controls[i];
        const auto &want = kLayout[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + mend::Utf8FromWide(want.text) + "\"");
        EXPECT_EQ(_wcsicmp(c.className.c_str(), L"Button"), 0) << mend::Utf8FromWide(c.className);
        EXPECT_EQ(c.text, want.text);
        EXPECT_EQ(c.id, want.id);
        EXPECT_EQ(c.ButtonType(), want.buttonType);
        // The button control itself gives the checked option the tab stop, so Tab reaches the
        // option group at its selected option.
        bool checkedOption = want.buttonType == BS_AUTORADIOBUTTON && c.Checked();
        EXPECT_EQ((c.style & WS_TABSTOP) != 0, want.tabStop || checkedOption);
        EXPECT_EQ(c.style & WS_GROUP, 0u) << "all seven form one group";
        EXPECT_TRUE(c.visible && c.enabled);
        EXPECT_EQ(Describe(c.rect), Describe(PixelsFromDialogBox(want.units, base)));
    }
    EXPECT_TRUE(nightjar.Ticked(kMmp));
    EXPECT_FALSE(nightjar.Ticked(kSinglePlayer));
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "the multiplayer file is read-only";
    EXPECT_FALSE(nightjar.Ticked(kLaunchGame));
    EXPECT_EQ(FocusedWindow(dialog), GetDlgItem(dialog, kFixSound));
    SaveScreenshot(dialog, L"nightjar_dialog");
}

TEST(NightjarDialog, TellsOfAMissingMultiplayerFileBeforeItShows) {
    GameFolder game;
    Nightjar nightjar(game);
    ASSERT_TRUE(WaitForMessageBox(L"File not found", nightjar.Pid()));
    EXPECT_FALSE(IsWindowVisible(nightjar.Dialog())) << "the message comes before the dialog";
    EXPECT_EQ(nightjar.Answer(), Messages{kMultiplayerMissing});
    EXPECT_TRUE(nightjar.Ticked(kMmp));
    EXPECT_FALSE(nightjar.Ticked(kSinglePlayer));
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));
}

TEST(NightjarDialog, OptionsShowTheirOwnFilesStateAndReReadItWhenClickedAgain) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    WriteFile(game.SinglePlayerPrefs(), PreferenceBytes());
    SetReadOnly(game.SinglePlayerPrefs(), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));

    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kSinglePlayer) && !nightjar.Ticked(kMmp)) << "the options exclude each other";
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kSinglePlayer));
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));

    // A tick set by hand gives way to the file's state when the selected option is clicked again,
    // and so does a change made outside the launcher.
    nightjar.Click(kFreezePrefs);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kMmp));
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));
    SetReadOnly(game.MultiplayerPrefs(), true);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_TRUE(game.Launches().empty()) << "clicking options starts nothing";
}

TEST(NightjarDialog, HelpOpensThePageThroughExplorerOrTellsItIsMissing) {
    GameFolder game;
    WriteFile(game.MultiplayerPrefs(), PreferenceBytes());
    Nightjar nightjar(game);
    nightjar.Click(kHelpPage);
    auto box = WaitForMessageBox(L"File not found", nightjar.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"No help file found");
    // Answered by a key: that keys reach the dialog manager is what makes the test of Enter and
    // Esc below mean something.
    SendKey(box->window, Key::Enter);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    EXPECT_TRUE(game.Launches().empty());
    WriteFile(game / L"Nightjar.htm", "<html></html>");
    EXPECT_EQ(nightjar.Press(kHelpPage), Messages{});
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"explorer.exe|Nightjar.htm"});
}

TEST(NightjarDialog, IgnoresEnterAndEscapeAndClosesWithExitCodeZero) {
    void (*const ways[])(HWND) = {PostClose, PostSystemClose,
                                  [](HWND dialog) { SendKey(dialog, Key::AltF4); }};
    for (auto close : ways) {
        GameFolder game;
        std::string prefs = PreferenceBytes();
        WriteFile(game.MultiplayerPrefs(), prefs);
        Nightjar nightjar(game);
        nightjar.Click(kLaunchGame); // so that a fix run by mistake would also show as a launch
        EXPECT_EQ(nightjar.Answer(), Messages{});
        // With the focus on "Fix GF3D Sound", the first tab stop.
        SendKey(nightjar.Dialog(), Key::Enter);
        SendKey(nightjar.Dialog(), Key::Escape);
        EXPECT_EQ(nightjar.Answer(), Messages{});
        EXPECT_TRUE(nightjar.Running());
        EXPECT_EQ(ReadFile(game.MultiplayerPrefs()), prefs) << "Enter must not run the fix";
        EXPECT_TRUE(game.Launches().empty());
        EXPECT_EQ(nightjar.CloseWith(close), 0u);
    }
}

} // namespace
