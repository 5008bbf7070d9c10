#pragma once
// A test game folder with Nightjar installed in it, and the real Nightjar.exe running there,
// driven through its windows.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace nightjar_test {

constexpr wchar_t kDialogCaption[] = L"Nightjar  1.0";
constexpr int kFixSound = 1003, kSinglePlayer = 1007, kMmp = 1008, kFreezePrefs = 1009, kLaunchGame = 1010,
              kHelpPage = 1011;

// A message box as (caption, text).
using Message = std::pair<std::wstring, std::wstring>;
using Messages = std::vector<Message>;
inline const Message kAttributeFailed{L"File not found", L"file not found"};
inline const Message kSinglePlayerMissing{L"File not found", L"gfprefs.dat file not found"};
inline const Message kMultiplayerMissing{L"File not found", L"mpprefs.dat file not found"};
inline const Message kStreamFailed{L"error", L"error creating file stream"};

// Preference bytes where every byte differs from its neighbours and byte 68 is not yet 0.
std::string PreferenceBytes(size_t length = 120);
// Checks that the file is `original` with byte 68 set to 0 (grown to 69 bytes if it was shorter).
void ExpectPatched(const std::wstring &path, const std::string &original);

// The game folder as the wizard leaves it: Data\Multi, and beside the game programs (stand-ins
// that log their start to launches.txt) the launcher itself, so that its program search finds
// them first, as in a real installation. An "explorer.exe" stand-in there catches the help page.
class GameFolder : public wintest::TempFolder {
  public:
    GameFolder();
    std::wstring SinglePlayerPrefs() const { return *this / L"Data\\gfprefs.dat"; }
    std::wstring MultiplayerPrefs() const { return *this / L"Data\\Multi\\mpprefs.dat"; }
    // Lines "<program>|<arguments>" of every stand-in start, in order.
    std::vector<std::string> Launches() const;
};

class Nightjar {
  public:
    explicit Nightjar(const GameFolder &game) : process_(game / L"Nightjar.exe", L"", game.Path()) {}
    DWORD Pid() const { return process_.Id(); }
    bool Running() { return !process_.WaitForExit(0); }

    // The dialog, visible or not yet (while the messages of its start are up).
    HWND Dialog();
    bool Ticked(int id);
    void Click(int id);
    // Answers with OK every message box that shows up until the launcher is quiet again, and
    // returns them in order: every click posted so far has been handled, the programs it started
    // have ended, and the dialog shows.
    Messages Answer();
    Messages Press(int id) {
        Click(id);
        return Answer();
    }
    // Ends the launcher the given way and returns its exit code (or STILL_ACTIVE).
    DWORD CloseWith(void (*how)(HWND));

  private:
    wintest::ChildProcess process_;
    HWND dialog_ = nullptr;
};

} // namespace nightjar_test
