// Nightjar.exe run for real under Wine in test game folders and driven through its windows: the
// game programs and explorer.exe there are stand-ins that log every start to launches.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <sstream>

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
using Message = std::pair<std::wstring, std::wstring>;
using Messages = std::vector<Message>;
const Message kAttributeFailed{L"File not found", L"file not found"};
const Message kStreamFailed{L"error", L"error creating file stream"};
Message Missing(bool singlePlayer) {
    return {L"File not found", singlePlayer ? L"gfprefs.dat file not found" : L"mpprefs.dat file not found"};
}

// Preference bytes where byte 68 is not yet 0 and every byte differs from its neighbours.
std::string PreferenceBytes(size_t length = 120) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(1 + (i * 37) % 250);
    return bytes;
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
    // "<program>|<arguments>" of every stand-in start, in order.
    std::vector<std::string> Launches() const {
        std::vector<std::string> lines;
        std::istringstream in(Exists(*this / L"launches.txt") ? ReadFile(*this / L"launches.txt") : "");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.find('\r')));
        return lines;
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
            EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"}) << mend::Utf8FromWide(box.text);
            EXPECT_FALSE(box.hasIcon) << mend::Utf8FromWide(box.text);
            EXPECT_EQ(box.owner, dialog) << "message boxes belong to the dialog";
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
    // Ends the launcher the given way and returns its exit code (or STILL_ACTIVE).
    DWORD CloseWith(void (*how)(HWND)) {
        how(Dialog());
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(process_.WaitForExit(kGuiTimeoutMs, &code)) << "the launcher did not end";
        return code;
    }

  private:
    ChildProcess process_;
    HWND dialog_ = nullptr;
};

TEST(Nightjar, OpensOnMmpShowingItsFilesFrozenStateOrThatItIsMissing) {
    for (bool present : {true, false}) {
        GameFolder game;
        if (present) {
            WriteFile(game.Prefs(false), PreferenceBytes());
            SetReadOnly(game.Prefs(false), true);
        }
        Nightjar nightjar(game);
        if (!present) {
            ASSERT_TRUE(WaitForMessageBox(L"File not found", nightjar.Pid()));
            EXPECT_FALSE(IsWindowVisible(nightjar.Dialog())) << "the message comes before the dialog";
        }
        EXPECT_EQ(nightjar.Answer(), present ? Messages{} : Messages{Missing(false)});
        EXPECT_TRUE(nightjar.Ticked(kMmp) && !nightjar.Ticked(kSinglePlayer) &&
                    !nightjar.Ticked(kLaunchGame));
        EXPECT_EQ(nightjar.Ticked(kFreezePrefs), present);
        EXPECT_EQ(FocusedWindow(nightjar.Dialog()), GetDlgItem(nightjar.Dialog(), kFixSound));
        if (present)
            SaveScreenshot(nightjar.Dialog(), L"nightjar_dialog");
    }
}

TEST(Nightjar, OptionsShowTheirOwnFilesStateAndReReadItWhenClickedAgain) {
    GameFolder game;
    WriteFile(game.Prefs(false), PreferenceBytes());
    WriteFile(game.Prefs(true), PreferenceBytes());
    SetReadOnly(game.Prefs(true), true);
    Nightjar nightjar(game);
    EXPECT_EQ(nightjar.Answer(), Messages{});
    EXPECT_EQ(nightjar.Press(kSinglePlayer), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kSinglePlayer) && !nightjar.Ticked(kMmp)) << "the options exclude each other";
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kSinglePlayer) || nightjar.Ticked(kFreezePrefs));
    // A tick set by hand gives way to the file's state when the selected option is clicked again,
    // and so does a change made outside the launcher.
    nightjar.Click(kFreezePrefs);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_FALSE(nightjar.Ticked(kFreezePrefs));
    SetReadOnly(game.Prefs(false), true);
    EXPECT_EQ(nightjar.Press(kMmp), Messages{});
    EXPECT_TRUE(nightjar.Ticked(kFreezePrefs));
    EXPECT_TRUE(game.Launches().empty()) << "clicking options starts nothing";
}

TEST(Nightjar, HelpOpensThePageThroughExplorerOrTellsItIsMissing) {
    GameFolder game;
    WriteFile(game.Prefs(false), PreferenceBytes());
    Nightjar nightjar(game);
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
    EXPECT_EQ(game.Launches(), std::vector<std::string>{"explorer.exe|Nightjar.htm"});
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
        EXPECT_EQ(nightjar.CloseWith(close), 0u);
    }
}

// Each press patches the selected option's file, leaves it read-only exactly when the box is ticked
// (no other attribute changes; hidden and archive stand for every other), starts its game when asked
// and touches nothing of the other option. A file held without sharing keeps its bytes, and the
// freeze and launch steps still run.
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
        SCOPED_TRACE(testing::Message()
                     << "single player " << c.singlePlayer << ", length " << c.length << ", held " << c.held);
        GameFolder game;
        const std::string prefs = PreferenceBytes(c.length), other = PreferenceBytes(90);
        const std::wstring file = game.Prefs(c.singlePlayer);
        WriteFile(file, prefs);
        WriteFile(game.Prefs(!c.singlePlayer), other);
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
        win32::Handle held(
            c.held ? CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                   : nullptr);
        ASSERT_EQ(static_cast<bool>(held), c.held);
        const char *started = c.singlePlayer ? "falcon.exe|" : "falconmmp.exe|";
        for (size_t press = 1; press <= (c.held ? 1 : 2); ++press) {
            EXPECT_EQ(nightjar.Press(kFixSound), c.held ? Messages{kStreamFailed} : Messages{});
            held.Reset();
            EXPECT_EQ(ReadFile(file), c.held ? prefs : Patched(prefs));
            EXPECT_EQ(GetFileAttributesW(file.c_str()), others | (c.freeze ? FILE_ATTRIBUTE_READONLY : 0));
            EXPECT_EQ(game.Launches(), std::vector<std::string>(c.launch ? press : 0, started));
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
        EXPECT_EQ(nightjar.Answer(), singlePlayer ? Messages{} : Messages{Missing(false)});
        nightjar.Click(kFreezePrefs);
        nightjar.Click(kLaunchGame);
        EXPECT_EQ(nightjar.Press(singlePlayer ? kSinglePlayer : kMmp), Messages{Missing(singlePlayer)});
        EXPECT_TRUE(nightjar.Ticked(kFreezePrefs)) << "keeps its tick when the file is missing";
        EXPECT_EQ(nightjar.Press(kFixSound), (Messages{kAttributeFailed, Missing(singlePlayer)}));
        EXPECT_FALSE(Exists(game.Prefs(singlePlayer))) << "never created";
        EXPECT_TRUE(game.Launches().empty());
        if (singlePlayer)
            EXPECT_TRUE(ReadFile(game.Prefs(false)) == PreferenceBytes() && !IsReadOnly(game.Prefs(false)));
    }
}

} // namespace
