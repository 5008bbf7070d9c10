// Nightjar.exe run for real under Wine in test game folders and driven through its windows: the
// game programs and explorer.exe there are stand-ins that log every start to launches.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "support/gui.h"

using namespace wintest;

namespace {

constexpr int kFix = 1003, kSingle = 1007, kMmp = 1008, kFreeze = 1009, kLaunch = 1010, kHelp = 1011;
const wchar_t *const kMp = L"Data\\Multi\\mpprefs.dat", *const kSp = L"Data\\gfprefs.dat";

// Message boxes as "caption: text", in the order they showed.
using Messages = std::vector<std::wstring>;

// A preference file of `length` bytes 'U' after the fix: byte 68 is 0, and a shorter file has
// grown to 69 bytes with zeros.
std::string Patched(size_t length) {
    std::string bytes(length, 'U');
    bytes.resize(std::max<size_t>(length, 69), '\0');
    bytes[68] = '\0';
    return bytes;
}

// A preference file as "-" when missing, "u<length>" as the test wrote it, "p<length>" once
// patched (with the length it had), and after either "r" when read-only.
std::string State(const std::wstring &path) {
    if (!Exists(path))
        return "-";
    const std::string bytes = ReadFile(path);
    std::string state = bytes == std::string(bytes.size(), 'U') ? "u" + std::to_string(bytes.size()) : "?";
    for (size_t length = 0; state == "?" && length <= bytes.size(); ++length)
        if (bytes == Patched(length))
            state = "p" + std::to_string(length);
    return state + (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY ? "r" : "");
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

    // The dialog, shown or not: a modal dialog exists hidden while its WM_INITDIALOG shows a
    // message box, and is ready once its last control has been made.
    HWND Dialog() {
        auto ready = [&] { return GetDlgItem(dialog = FindWindowW(L"#32770", L"Nightjar  1.0"), kHelp); };
        EXPECT_TRUE(dialog || WaitUntil(ready));
        return dialog;
    }
    // Single Player, MMP, Freeze Preferences and Launch GF3D as "SMFL", "-" for each one unticked.
    std::string Ticks() {
        std::string ticks;
        for (int i = 0; i < 4; ++i)
            ticks += IsDlgButtonChecked(Dialog(), kSingle + i) == BST_CHECKED ? "SMFL"[i] : '-';
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

// One launcher session, step by step. Before a step's click a file is written with `length` bytes
// 'U' (0: kept as it is) and made read-only or writable, and `hold` holds the multiplayer file open
// without sharing during the click. After it come the messages, the ticks, the state of both
// preference files (multiplayer first) and the programs started.
TEST(Nightjar, OptionsFixAndHelpStepByStep) {
    const std::wstring thaw = L"File not found: file not found",
                       mpMissing = L"File not found: mpprefs.dat file not found",
                       spMissing = L"File not found: gfprefs.dat file not found",
                       stream = L"error: error creating file stream";
    const struct {
        const wchar_t *put;
        size_t length;
        bool frozen, hold;
        int id;
        Messages shown;
        const char *ticks, *files, *started;
    } steps[] = {
        // Opened with both files missing: the message comes before the dialog, which opens on MMP.
        {nullptr, 0, false, false, 0, {mpMissing}, "-M--", "- -", ""},
        {nullptr, 0, false, false, kFreeze, {}, "-MF-", "- -", ""},
        {nullptr, 0, false, false, kLaunch, {}, "-MFL", "- -", ""},
        // The option of a missing file says so and keeps the tick; the fix then fails to thaw it, says
        // so again and stops: no file made, nothing else changed, no game started.
        {nullptr, 0, false, false, kMmp, {mpMissing}, "-MFL", "- -", ""},
        {nullptr, 0, false, false, kFix, {thaw, mpMissing}, "-MFL", "- -", ""},
        {kMp, 120, false, false, kSingle, {spMissing}, "S-FL", "u120 -", ""},
        {nullptr, 0, false, false, kFix, {thaw, spMissing}, "S-FL", "u120 -", ""},
        // An option's click, also on the selected one, shows its own file's state in place of a tick
        // set by hand.
        {kSp, 10, true, false, kSingle, {}, "S-FL", "u120 u10r", ""},
        {nullptr, 0, false, false, kFreeze, {}, "S--L", "u120 u10r", ""},
        {nullptr, 0, false, false, kSingle, {}, "S-FL", "u120 u10r", ""},
        // A frozen file is thawed, patched and frozen again; each press starts the game once more.
        {nullptr, 0, false, false, kFix, {}, "S-FL", "u120 p10r", "falcon.exe|"},
        {nullptr, 0, false, false, kFix, {}, "S-FL", "u120 p10r", "falcon.exe|"},
        {nullptr, 0, false, false, kFreeze, {}, "S--L", "u120 p10r", ""},
        {nullptr, 0, false, false, kFix, {}, "S--L", "u120 p10", "falcon.exe|"},
        {nullptr, 0, false, false, kMmp, {}, "-M-L", "u120 p10", ""},
        {kMp, 0, true, false, kMmp, {}, "-MFL", "u120r p10", ""}, // frozen outside the launcher
        {nullptr, 0, false, false, kLaunch, {}, "-MF-", "u120r p10", ""},
        {nullptr, 0, false, false, kFix, {}, "-MF-", "p120r p10", ""},
        {kMp, 68, false, false, kFreeze, {}, "-M--", "u68 p10", ""},
        {nullptr, 0, false, false, kFix, {}, "-M--", "p68 p10", ""},
        // A file held without sharing keeps its bytes; the freeze and launch steps still run.
        {kMp, 120, false, false, kFreeze, {}, "-MF-", "u120 p10", ""},
        {nullptr, 0, false, false, kLaunch, {}, "-MFL", "u120 p10", ""},
        {nullptr, 0, false, true, kFix, {stream}, "-MFL", "u120r p10", "falconmmp.exe|"},
        {nullptr, 0, false, false, kHelp, {L"File not found: No help file found"}, "-MFL", "u120r p10", ""},
        {L"Nightjar.htm", 5, false, false, kHelp, {}, "-MFL", "u120r p10", "explorer.exe|Nightjar.htm"},
    };
    Game game;
    game.Start();
    ASSERT_TRUE(FindDialog(L"File not found", game.launcher->Id()));
    EXPECT_FALSE(IsWindowVisible(game.Dialog())) << "the message comes before the dialog";
    std::string started;
    for (const auto &s : steps) {
        SCOPED_TRACE(&s - steps);
        if (s.put) {
            SetFileAttributesW((game / s.put).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (s.length)
                WriteFile(game / s.put, std::string(s.length, 'U'));
            SetReadOnly(game / s.put, s.frozen);
        }
        win32::Handle held(
            s.hold ? CreateFileW((game / kMp).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                   : nullptr);
        EXPECT_EQ(game.Press(s.id), s.shown);
        held.Reset();
        EXPECT_EQ(game.Ticks(), s.ticks);
        EXPECT_EQ(State(game / kMp) + " " + State(game / kSp), s.files);
        started += *s.started ? s.started + std::string("\r\n") : "";
        EXPECT_EQ(ReadFile(game / L"launches.txt"), started);
    }
}

// Opened on a present file, the launcher has the focus on the fix, and there Enter and Esc do
// nothing. Every way of closing ends it with exit code 0; Alt+F4 also shows that keys reach it.
TEST(Nightjar, EnterAndEscDoNothingAndEveryWayOfClosingEndsWithZero) {
    for (auto close : {PostClose, +[](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
                       +[](HWND dialog) { SendKey(dialog, Key::AltF4); }}) {
        Game game;
        WriteFile(game / kMp, std::string(120, 'U'));
        game.Start();
        EXPECT_EQ(game.Press(0), Messages{});
        EXPECT_EQ(FocusedWindow(game.Dialog()), GetDlgItem(game.Dialog(), kFix));
        SaveScreenshot(game.Dialog(), L"nightjar_dialog");
        SendKey(game.Dialog(), Key::Enter);
        SendKey(game.Dialog(), Key::Escape);
        EXPECT_EQ(game.Press(0), Messages{});
        EXPECT_EQ(State(game / kMp), "u120") << "Enter must not run the fix";
        close(game.Dialog());
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(game.launcher->WaitForExit(kGuiTimeoutMs, &code) && code == 0) << code;
    }
}

} // namespace
