// Nightjar.exe run for real under Wine in test game folders and driven through its windows: the
// game programs and explorer.exe there are stand-ins that log every start to launches.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"

using namespace wintest;

namespace {

constexpr int kFix = 1003, kSingle = 1007, kMmp = 1008, kFreeze = 1009, kLaunch = 1010, kHelp = 1011;
const wchar_t *const kMp = L"Data\\Multi\\mpprefs.dat", *const kSp = L"Data\\gfprefs.dat";

// Message boxes as "caption: text", in the order they showed.
using Messages = std::vector<std::wstring>;

void AltF4(HWND dialog) {
    SendKey(dialog, Key::AltF4);
}

// A game folder as the wizard leaves it, the launcher beside the stand-ins so that its program
// search finds them first, and the launcher started there.
struct Game : TempFolder {
    Game() : TempFolder(L"nightjar") {
        MakeFolders(*this / L"Data\\Multi");
        WriteFile(*this / L"launches.txt", "");
        for (const wchar_t *name : {L"Nightjar.exe", L"falcon.exe", L"falconmmp.exe", L"explorer.exe"})
            EXPECT_TRUE(CopyFileW(
                (ProgramFolder() + (name[0] == L'N' ? L"\\Nightjar.exe" : L"\\game_stand_in.exe")).c_str(),
                (*this / name).c_str(), FALSE));
    }
    void Start() { launcher.emplace(*this / L"Nightjar.exe", L"", Path()); }
    // A line "<program>|<arguments>" for every stand-in start, in order.
    std::string Launches() const { return ReadFile(*this / L"launches.txt"); }

    // The dialog, shown or not: a modal dialog exists hidden while its WM_INITDIALOG shows a
    // message box, and is ready once its last control has been made.
    HWND Dialog() {
        auto ready = [&] { return GetDlgItem(dialog = FindWindowW(L"#32770", L"Nightjar  1.0"), kHelp); };
        EXPECT_TRUE(dialog || WaitUntil(ready));
        return dialog;
    }
    // Single Player, MMP, Freeze Preferences and Launch GF3D as "SMFL", "-" for each one unticked.
    std::string Ticks() {
        std::string ticks = "SMFL";
        for (int i = 0; i < 4; ++i)
            if (IsDlgButtonChecked(Dialog(), kSingle + i) != BST_CHECKED)
                ticks[i] = '-';
        return ticks;
    }

    // Clicks the control (0: none) and answers with OK every message box until the launcher is
    // quiet again; returns them. WinExec returns once the program it started has ended or waits
    // for input, and the stand-ins end at once: when the click has been handled, every start has
    // written its line.
    Messages Press(int id) {
        EXPECT_TRUE(!id || Click(Dialog(), id)) << "no control " << id;
        Messages shown;
        // Sync posts behind everything posted before, so when it returns the click has either run
        // to its end or waits in a message box (whose loop handled the marker).
        while (Sync(Dialog())) {
            auto pending = DialogWindows(launcher->Id(), dialog);
            if (pending.empty())
                break;
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(pending.front()) != FALSE; }));
            auto box = ReadMessageBox(pending.front());
            EXPECT_TRUE(box.buttons == std::vector<std::wstring>{L"OK"} && !box.hasIcon &&
                        box.owner == dialog)
                << "a plain box of the dialog";
            shown.push_back(box.caption + L": " + box.text);
            if (!PressOk(box.window))
                break;
        }
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }))
            << "the dialog does not show";
        return shown;
    }

    std::optional<ChildProcess> launcher;
    HWND dialog = nullptr;
};

// The launcher opens on MMP. An option's click, also on the selected one, shows its own file's state
// in place of a tick set by hand, or says that the file is missing and keeps the tick. The fix on a
// missing file fails to thaw it, says so again and stops: no file made, nothing else changed, no
// game started. Only the fix and the help page start programs.
TEST(Nightjar, OptionsShowTheirFilesStateAndAMissingFileStopsTheFix) {
    Game game;
    game.Start();
    ASSERT_TRUE(WaitForMessageBox(L"File not found", game.launcher->Id()));
    EXPECT_FALSE(IsWindowVisible(game.Dialog())) << "the message comes before the dialog";
    const std::wstring thawFailed = L"File not found: file not found",
                       mpMissing = L"File not found: mpprefs.dat file not found",
                       spMissing = L"File not found: gfprefs.dat file not found";
    // Before the click, a preference file is made when missing, and made read-only or writable.
    const struct {
        const wchar_t *put;
        bool frozen;
        int id;
        Messages shown;
        const char *ticks;
    } steps[] = {
        {nullptr, false, 0, {mpMissing}, "-M--"},
        {nullptr, false, kFreeze, {}, "-MF-"},
        {nullptr, false, kLaunch, {}, "-MFL"},
        {nullptr, false, kMmp, {mpMissing}, "-MFL"},
        {nullptr, false, kFix, {thawFailed, mpMissing}, "-MFL"},
        {kMp, false, kSingle, {spMissing}, "S-FL"},
        {nullptr, false, kFix, {thawFailed, spMissing}, "S-FL"},
        {kSp, true, kSingle, {}, "S-FL"},
        {nullptr, false, kFreeze, {}, "S--L"},
        {nullptr, false, kSingle, {}, "S-FL"},
        {nullptr, false, kMmp, {}, "-M-L"},
        {kMp, true, kMmp, {}, "-MFL"},
    };
    for (const auto &s : steps) {
        if (s.put && !Exists(game / s.put))
            WriteFile(game / s.put, "prefs");
        if (s.put)
            SetReadOnly(game / s.put, s.frozen);
        EXPECT_EQ(game.Press(s.id), s.shown) << &s - steps;
        EXPECT_EQ(game.Ticks(), s.ticks) << &s - steps;
    }
    EXPECT_EQ(ReadFile(game / kMp) + ReadFile(game / kSp), "prefsprefs");

    // Help tells that its page is missing, answered here by a key: that keys reach the dialog
    // manager is what gives the test of Enter and Esc its meaning. Then it opens the page.
    Click(game.Dialog(), kHelp);
    auto box = WaitForMessageBox(L"File not found", game.launcher->Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"No help file found");
    SendKey(box->window, Key::Enter);
    EXPECT_EQ(game.Press(0), Messages{});
    EXPECT_EQ(game.Launches(), "");
    WriteFile(game / L"Nightjar.htm", "<html></html>");
    EXPECT_EQ(game.Press(kHelp), Messages{});
    EXPECT_EQ(game.Launches(), "explorer.exe|Nightjar.htm\r\n");
}

// Each press patches the selected option's file, leaves it read-only exactly when the box is
// ticked, starts its game when asked and touches nothing of the other option. A file held without
// sharing keeps its bytes, and the freeze and launch steps still run. Enter and Esc do nothing;
// every way of closing ends the launcher with exit code 0.
TEST(Nightjar, FixPatchesFreezesAsTickedAndLaunchesOncePerPress) {
    const struct {
        bool single, frozenBefore, freeze, launch;
        size_t length;
        bool held;
        void (*close)(HWND);
    } cases[] = {
        {false, false, true, true, 120, false, PostClose},
        {true, true, true, true, 120, false, PostSystemClose},
        {false, true, false, false, 10, false, AltF4},
        {false, false, false, true, 68, false, PostClose},
        {true, false, true, false, 120, false, AltF4},
        {false, false, true, true, 120, true, PostSystemClose},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        Game game;
        const std::string prefs(c.length, 'U'), other(90, 'U');
        const std::wstring file = game / (c.single ? kSp : kMp), otherFile = game / (c.single ? kMp : kSp);
        WriteFile(file, prefs);
        WriteFile(otherFile, other);
        SetReadOnly(file, c.frozenBefore);
        game.Start();
        EXPECT_EQ(game.Press(0), Messages{});
        EXPECT_EQ(FocusedWindow(game.Dialog()), GetDlgItem(game.Dialog(), kFix));
        if (&c == cases)
            SaveScreenshot(game.Dialog(), L"nightjar_dialog");
        for (int id :
             {c.single ? kSingle : 0, c.freeze != c.frozenBefore ? kFreeze : 0, c.launch ? kLaunch : 0})
            EXPECT_EQ(game.Press(id), Messages{});
        EXPECT_EQ(game.Ticks(),
                  std::string(c.single ? "S-" : "-M") + (c.freeze ? "F" : "-") + (c.launch ? "L" : "-"));
        SendKey(game.Dialog(), Key::Enter);
        SendKey(game.Dialog(), Key::Escape);
        EXPECT_EQ(game.Press(0), Messages{});
        EXPECT_EQ(ReadFile(file), prefs) << "Enter must not run the fix";

        win32::Handle held(
            c.held ? CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                   : nullptr);
        ASSERT_EQ(static_cast<bool>(held), c.held);
        // Byte 68 becomes 0; a shorter file grows to 69 bytes with zeros.
        std::string patched = prefs, started;
        patched.resize(std::max<size_t>(prefs.size(), 69), '\0');
        patched[68] = '\0';
        for (size_t press = 1; press <= (c.held ? 1 : 2); ++press) {
            EXPECT_EQ(game.Press(kFix), c.held ? Messages{L"error: error creating file stream"} : Messages{});
            held.Reset();
            EXPECT_EQ(ReadFile(file), c.held ? prefs : patched);
            EXPECT_EQ(IsReadOnly(file), c.freeze);
            started += c.launch ? (c.single ? "falcon.exe|\r\n" : "falconmmp.exe|\r\n") : "";
            EXPECT_EQ(game.Launches(), started);
        }
        EXPECT_EQ(ReadFile(otherFile), other) << "the other option's file is not touched";
        EXPECT_FALSE(IsReadOnly(otherFile));
        c.close(game.Dialog());
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(game.launcher->WaitForExit(kGuiTimeoutMs, &code) && code == 0) << code;
    }
}

} // namespace
