// Nightjar.exe run for real under Wine in test game folders and driven through its windows: the
// game programs and explorer.exe there are stand-ins that log every start to launches.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

#include "common/text.h"
#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"

using namespace wintest;

namespace {

constexpr int kFixSound = 1003, kSinglePlayer = 1007, kMmp = 1008, kFreezePrefs = 1009, kLaunchGame = 1010,
              kHelpPage = 1011;

// Message boxes as (caption, text), in the order they showed.
using Messages = std::vector<std::pair<std::wstring, std::wstring>>;
std::pair<std::wstring, std::wstring> Missing(bool singlePlayer) {
    return {L"File not found", singlePlayer ? L"gfprefs.dat file not found" : L"mpprefs.dat file not found"};
}

// Preference bytes where byte 68 is not yet 0.
std::string PreferenceBytes(size_t length = 120) {
    return std::string(length, '\x55');
}

// The file after the fix: byte 68 is 0, a shorter file has grown to 69 bytes with zeros.
std::string Patched(std::string bytes) {
    bytes.resize(std::max<size_t>(bytes.size(), 69), '\0');
    bytes[68] = '\0';
    return bytes;
}

// The game folder as the wizard leaves it, the launcher beside the game programs so that its
// program search finds the stand-ins first.
struct GameFolder : TempFolder {
    GameFolder() : TempFolder(L"nightjar") {
        // Wine starts its desktop process for the first window of a session: let this process be
        // its parent, not a launcher whose children are waited for.
        GetDesktopWindow();
        MakeFolders(*this / L"Data\\Multi");
        for (const wchar_t *name : {L"Nightjar.exe", L"falcon.exe", L"falconmmp.exe", L"explorer.exe"}) {
            std::wstring from =
                ProgramFolder() + (name[0] == L'N' ? L"\\Nightjar.exe" : L"\\game_stand_in.exe");
            EXPECT_TRUE(CopyFileW(from.c_str(), (*this / name).c_str(), FALSE)) << GetLastError();
        }
    }
    std::wstring Prefs(bool singlePlayer) const {
        return *this / (singlePlayer ? L"Data\\gfprefs.dat" : L"Data\\Multi\\mpprefs.dat");
    }
    // A line "<program>|<arguments>" for every stand-in start, in order.
    std::string Launches() const {
        return Exists(*this / L"launches.txt") ? ReadFile(*this / L"launches.txt") : "";
    }
};

class Nightjar {
  public:
    explicit Nightjar(const GameFolder &game) : process_(game / L"Nightjar.exe", L"", game.Path()) {}
    DWORD Pid() const { return process_.Id(); }

    // The dialog, shown or not: a modal dialog exists hidden while its WM_INITDIALOG shows a
    // message box, and is ready once its last control has been made.
    HWND Dialog() {
        if (!dialog_ && !WaitUntil([&] {
                for (HWND w : DialogWindows(Pid()))
                    if (WindowText(w) == L"Nightjar  1.0" && GetDlgItem(w, kHelpPage))
                        return (dialog_ = w) != nullptr;
                return false;
            }))
            ADD_FAILURE() << "the launcher's dialog did not come";
        return dialog_;
    }
    bool Ticked(int id) { return IsDlgButtonChecked(Dialog(), id) == BST_CHECKED; }
    void Click(int id) { EXPECT_TRUE(wintest::Click(Dialog(), id)) << "no control " << id; }

    // Answers with OK every message box until the launcher is quiet again and returns them: every
    // click posted so far has been handled, the programs it started have ended, the dialog shows.
    Messages Answer() {
        Messages shown;
        HWND dialog = Dialog();
        // Sync posts behind everything posted before, so when it returns the click has either run
        // to its end or waits in a message box (whose loop handled the marker).
        while (Sync(dialog)) {
            auto pending = DialogWindows(Pid(), dialog);
            if (pending.empty())
                break;
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(pending.front()) != FALSE; }));
            auto box = ReadMessageBox(pending.front());
            EXPECT_TRUE(box.buttons == std::vector<std::wstring>{L"OK"} && !box.hasIcon &&
                        box.owner == dialog)
                << "a plain box of the dialog: " << mend::Utf8FromWide(box.text);
            shown.emplace_back(box.caption, box.text);
            if (!PressOk(box.window))
                return shown;
        }
        // A program that WinExec started exists by the time the click is handled; once none of our
        // children is left, every start has written its line.
        EXPECT_TRUE(WaitUntil([&] {
            win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
                 more = Process32NextW(snapshot.Get(), &entry))
                if (entry.th32ParentProcessID == Pid() && entry.th32ProcessID != Pid())
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
    ChildProcess process_;

  private:
    HWND dialog_ = nullptr;
};

TEST(Nightjar, OpensOnMmpItsOptionsShowTheirFilesStateOnEveryClickAndHelpOpensThePage) {
    GameFolder game;
    WriteFile(game.Prefs(false), PreferenceBytes());
    WriteFile(game.Prefs(true), PreferenceBytes());
    SetReadOnly(game.Prefs(true), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kMmp) && !nightjar.Ticked(kSinglePlayer) && !nightjar.Ticked(kFreezePrefs));
    EXPECT_EQ(FocusedWindow(nightjar.Dialog()), GetDlgItem(nightjar.Dialog(), kFixSound));
    SaveScreenshot(nightjar.Dialog(), L"nightjar_dialog");
    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kSinglePlayer) && !nightjar.Ticked(kMmp)) << "the options exclude each other";
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    // A tick set by hand gives way to the file's state when the selected option is clicked again,
    // and so does a change made outside the launcher.
    nightjar.Click(kFreezePrefs);
    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs) || nightjar.Ticked(kSinglePlayer));
    SetReadOnly(game.Prefs(false), true);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_TRUE(game.Launches().empty()) << "clicking options starts nothing";

    // Help opens the page through explorer.exe, or tells that it is missing.
    nightjar.Click(kHelpPage);
    auto box = WaitForMessageBox(L"File not found", nightjar.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"No help file found");
    // Answered by a key: that keys reach the dialog manager is what gives the test of Enter and
    // Esc its meaning.
    SendKey(box->window, Key::Enter);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    EXPECT_TRUE(game.Launches().empty());
    WriteFile(game / L"Nightjar.htm", "<html></html>");
    EXPECT_EQ(nightjar.Press(kHelpPage), Messages{});
    EXPECT_EQ(game.Launches(), "explorer.exe|Nightjar.htm\r\n");
}

TEST(Nightjar, IgnoresEnterAndEscapeAndClosesWithExitCodeZero) {
    for (auto close : {PostClose, PostSystemClose, +[](HWND dialog) { SendKey(dialog, Key::AltF4); }}) {
        GameFolder game;
        WriteFile(game.Prefs(false), PreferenceBytes());
        Nightjar nightjar(game);
        nightjar.Click(kLaunchGame); // so that a fix run by mistake would also show as a launch
        // With the focus on "Fix GF3D Sound", the first tab stop.
        SendKey(nightjar.Dialog(), Key::Enter);
        SendKey(nightjar.Dialog(), Key::Escape);
        EXPECT_EQ(nightjar.Answer(), Messages{});
        EXPECT_EQ(ReadFile(game.Prefs(false)), PreferenceBytes()) << "Enter must not run the fix";
        EXPECT_TRUE(game.Launches().empty());
        close(nightjar.Dialog());
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(nightjar.process_.WaitForExit(kGuiTimeoutMs, &code) && code == 0) << code;
    }
}

// Each press patches the selected option's file, leaves it read-only exactly when the box is ticked,
// starts its game when asked and touches nothing of the other option. A file held without sharing keeps its
// bytes, and the freeze and launch steps still run.
TEST(Nightjar, FixPatchesFreezesAsTickedAndLaunchesOncePerPress) {
    const struct {
        bool singlePlayer, frozenBefore, freeze, launch;
        size_t length;
        bool held;
    } cases[] = {
        {false, false, true, true, 120, false}, {true, true, true, true, 120, false},
        {false, true, false, false, 10, false}, {false, false, false, true, 68, false},
        {true, false, true, false, 120, false}, {false, false, true, true, 120, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        GameFolder game;
        const std::string prefs = PreferenceBytes(c.length), other = PreferenceBytes(90);
        const std::wstring file = game.Prefs(c.singlePlayer);
        WriteFile(file, prefs);
        WriteFile(game.Prefs(!c.singlePlayer), other);
        SetReadOnly(file, c.frozenBefore);
        Nightjar nightjar(game);
        if (c.singlePlayer)
            nightjar.Click(kSinglePlayer);
        EXPECT_EQ(nightjar.Answer(), Messages{});
        EXPECT_EQ(nightjar.Ticked(kFreezePrefs), c.frozenBefore) << "the option shows its own file's state";
        if (c.freeze != c.frozenBefore)
            nightjar.Click(kFreezePrefs);
        if (c.launch)
            nightjar.Click(kLaunchGame);
        win32::Handle held(
            c.held ? CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                   : nullptr);
        ASSERT_EQ(static_cast<bool>(held), c.held);
        std::string started;
        for (size_t press = 1; press <= (c.held ? 1 : 2); ++press) {
            EXPECT_EQ(nightjar.Press(kFixSound),
                      (c.held ? Messages{{L"error", L"error creating file stream"}} : Messages{}));
            held.Reset();
            EXPECT_EQ(ReadFile(file), c.held ? prefs : Patched(prefs));
            EXPECT_EQ(IsReadOnly(file), c.freeze);
            started += c.launch ? (c.singlePlayer ? "falcon.exe|\r\n" : "falconmmp.exe|\r\n") : "";
            EXPECT_EQ(game.Launches(), started);
        }
        EXPECT_EQ(ReadFile(game.Prefs(!c.singlePlayer)), other) << "the other option's file is not touched";
        EXPECT_FALSE(IsReadOnly(game.Prefs(!c.singlePlayer)));
    }
}

// The option's click says the file is missing; the fix then fails to thaw it, says so again and
// stops before anything else: no file made, no attribute changed, no game started.
TEST(Nightjar, FixStopsOnAMissingFileAfterTwoMessages) {
    for (bool singlePlayer : {true, false}) {
        SCOPED_TRACE(singlePlayer ? "single player" : "multiplayer");
        GameFolder game;
        if (singlePlayer)
            WriteFile(game.Prefs(false), PreferenceBytes());
        Nightjar nightjar(game);
        if (!singlePlayer) {
            ASSERT_TRUE(WaitForMessageBox(L"File not found", nightjar.Pid()));
            EXPECT_FALSE(IsWindowVisible(nightjar.Dialog())) << "the message comes before the dialog";
        }
        EXPECT_EQ(nightjar.Answer(), singlePlayer ? Messages{} : Messages{Missing(false)});
        EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));
        nightjar.Click(kFreezePrefs);
        nightjar.Click(kLaunchGame);
        EXPECT_EQ(nightjar.Press(singlePlayer ? kSinglePlayer : kMmp), Messages{Missing(singlePlayer)});
        EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "keeps its tick when the file is missing";
        EXPECT_EQ(nightjar.Press(kFixSound),
                  (Messages{{L"File not found", L"file not found"}, Missing(singlePlayer)}));
        EXPECT_FALSE(Exists(game.Prefs(singlePlayer))) << "never created";
        EXPECT_TRUE(game.Launches().empty());
        EXPECT_TRUE(!singlePlayer ||
                    (ReadFile(game.Prefs(false)) == PreferenceBytes() && !IsReadOnly(game.Prefs(false))));
    }
}

} // namespace
