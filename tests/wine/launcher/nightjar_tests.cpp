// Nightjar.exe run for real under Wine in test game folders and driven through its windows: the
// game programs and explorer.exe there are stand-ins that log every start to launches.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <optional>

#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"

using namespace wintest;

namespace {

constexpr int kFix = 1003, kSingle = 1007, kMmp = 1008, kFreeze = 1009, kLaunch = 1010, kHelp = 1011;

// Message boxes as "caption: text", in the order they showed.
using Messages = std::vector<std::wstring>;
std::wstring Missing(bool single) {
    return std::wstring(L"File not found: ") + (single ? L"gf" : L"mp") + L"prefs.dat file not found";
}

void AltF4(HWND dialog) {
    SendKey(dialog, Key::AltF4);
}

// A game folder as the wizard leaves it, the launcher beside the stand-ins so that its program
// search finds them first, and the launcher once started there.
struct Game : TempFolder {
    Game() : TempFolder(L"nightjar") {
        // Wine starts its desktop process for the first window of a session: let this process be
        // its parent, not a launcher whose children are waited for.
        GetDesktopWindow();
        MakeFolders(*this / L"Data\\Multi");
        for (const wchar_t *name : {L"Nightjar.exe", L"falcon.exe", L"falconmmp.exe", L"explorer.exe"})
            EXPECT_TRUE(CopyFileW(
                (ProgramFolder() + (name[0] == L'N' ? L"\\Nightjar.exe" : L"\\game_stand_in.exe")).c_str(),
                (*this / name).c_str(), FALSE));
    }
    std::wstring Prefs(bool single) const {
        return *this / (single ? L"Data\\gfprefs.dat" : L"Data\\Multi\\mpprefs.dat");
    }
    // A line "<program>|<arguments>" for every stand-in start, in order.
    std::string Launches() const {
        return Exists(*this / L"launches.txt") ? ReadFile(*this / L"launches.txt") : "";
    }

    // The dialog, shown or not: a modal dialog exists hidden while its WM_INITDIALOG shows a
    // message box, and is ready once its last control has been made.
    HWND Dialog() {
        if (!dialog && !WaitUntil([&] {
                for (HWND w : DialogWindows(launcher->Id()))
                    if (WindowText(w) == L"Nightjar  1.0" && GetDlgItem(w, kHelp))
                        return (dialog = w) != nullptr;
                return false;
            }))
            ADD_FAILURE() << "the launcher's dialog did not come";
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
    void Click(int id) { EXPECT_TRUE(wintest::Click(Dialog(), id)) << "no control " << id; }

    // Answers with OK every message box until the launcher is quiet again and returns them: every
    // click posted so far has been handled, the programs it started have ended, the dialog shows.
    Messages Answer() {
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
                return shown;
        }
        // A program that WinExec started exists by the time the click is handled; once none of our
        // children is left, every start has written its line.
        EXPECT_TRUE(WaitUntil([&] {
            win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{sizeof entry};
            for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
                 more = Process32NextW(snapshot.Get(), &entry))
                if (entry.th32ParentProcessID == launcher->Id() && entry.th32ProcessID != launcher->Id())
                    return false;
            return true;
        })) << "started programs did not end";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }))
            << "the dialog does not show";
        return shown;
    }
    Messages Press(int id) {
        Click(id);
        return Answer();
    }

    std::optional<ChildProcess> launcher;
    HWND dialog = nullptr;
};

// The dialog opens on MMP with the focus on the fix. An option's click, also on the selected one,
// shows its own file's state in place of a tick set by hand; only the help page starts a program.
TEST(Nightjar, OpensOnMmpItsOptionsShowTheirFilesStateAndHelpOpensThePage) {
    Game game;
    WriteFile(game.Prefs(false), std::string(120, 'U'));
    WriteFile(game.Prefs(true), std::string(120, 'U'));
    SetReadOnly(game.Prefs(true), true);
    game.launcher.emplace(game / L"Nightjar.exe", L"", game.Path());
    EXPECT_EQ(game.Answer(), Messages{});
    EXPECT_EQ(game.Ticks(), "-M--");
    EXPECT_EQ(FocusedWindow(game.Dialog()), GetDlgItem(game.Dialog(), kFix));
    SaveScreenshot(game.Dialog(), L"nightjar_dialog");
    for (auto [id, ticks] :
         {std::pair{kSingle, "S-F-"}, {kFreeze, "S---"}, {kSingle, "S-F-"}, {kMmp, "-M--"}}) {
        EXPECT_EQ(game.Press(id), Messages{});
        EXPECT_EQ(game.Ticks(), ticks) << id;
    }
    SetReadOnly(game.Prefs(false), true); // a change made outside the launcher
    EXPECT_EQ(game.Press(kMmp), Messages{});
    EXPECT_EQ(game.Ticks(), "-MF-");

    game.Click(kHelp);
    auto box = WaitForMessageBox(L"File not found", game.launcher->Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"No help file found");
    // Answered by a key: that keys reach the dialog manager is what gives the test of Enter and
    // Esc its meaning.
    SendKey(box->window, Key::Enter);
    EXPECT_EQ(game.Answer(), Messages{});
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
        const std::wstring file = game.Prefs(c.single);
        WriteFile(file, prefs);
        WriteFile(game.Prefs(!c.single), other);
        SetReadOnly(file, c.frozenBefore);
        game.launcher.emplace(game / L"Nightjar.exe", L"", game.Path());
        if (c.single)
            game.Click(kSingle);
        EXPECT_EQ(game.Answer(), Messages{});
        EXPECT_EQ(game.Ticks()[2] == 'F', c.frozenBefore) << "the option shows its own file's state";
        if (c.freeze != c.frozenBefore)
            game.Click(kFreeze);
        if (c.launch)
            game.Click(kLaunch);
        SendKey(game.Dialog(), Key::Enter);
        SendKey(game.Dialog(), Key::Escape);
        EXPECT_EQ(game.Answer(), Messages{});
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
        EXPECT_EQ(ReadFile(game.Prefs(!c.single)), other) << "the other option's file is not touched";
        EXPECT_FALSE(IsReadOnly(game.Prefs(!c.single)));
        c.close(game.Dialog());
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(game.launcher->WaitForExit(kGuiTimeoutMs, &code) && code == 0) << code;
    }
}

// A missing file: the option's click says so and keeps the tick; the fix then fails to thaw it,
// says so again and stops before anything else: no file made, no attribute changed, no game started.
TEST(Nightjar, FixStopsOnAMissingFileAfterTwoMessages) {
    for (bool single : {true, false}) {
        SCOPED_TRACE(single ? "single player" : "multiplayer");
        Game game;
        if (single)
            WriteFile(game.Prefs(false), std::string(120, 'U'));
        game.launcher.emplace(game / L"Nightjar.exe", L"", game.Path());
        if (!single) {
            ASSERT_TRUE(WaitForMessageBox(L"File not found", game.launcher->Id()));
            EXPECT_FALSE(IsWindowVisible(game.Dialog())) << "the message comes before the dialog";
        }
        EXPECT_EQ(game.Answer(), single ? Messages{} : Messages{Missing(false)});
        EXPECT_EQ(game.Ticks(), "-M--");
        game.Click(kFreeze);
        game.Click(kLaunch);
        EXPECT_EQ(game.Press(single ? kSingle : kMmp), Messages{Missing(single)});
        EXPECT_EQ(game.Ticks(), single ? "S-FL" : "-MFL") << "the tick stays when the file is missing";
        EXPECT_EQ(game.Press(kFix), (Messages{L"File not found: file not found", Missing(single)}));
        EXPECT_FALSE(Exists(game.Prefs(single))) << "never created";
        EXPECT_EQ(game.Launches(), "");
        EXPECT_TRUE(!single ||
                    (ReadFile(game.Prefs(false)) == std::string(120, 'U') && !IsReadOnly(game.Prefs(false))));
    }
}

} // namespace
