#pragma once
// A test game folder with Nightjar installed in it, and the real Nightjar.exe running there,
// driven through its windows.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace nightjar_test {

constexpr wchar_t kDialogCaption[] = L"Nightjar  1.0";
constexpr int kFixSound = 1003, kSinglePlayer = 1007, kMmp = 1008, kFreezePrefs = 1009, kLaunchGame = 1010,
              kHelpPage = 1011;

// Preference bytes where every byte differs from its neighbours and byte 68 is not yet 0.
std::string PreferenceBytes(size_t length = 120);

// The game folder as the wizard leaves it: Data\Multi, and beside the game programs (stand-ins
// that log their start to launches.txt) the launcher itself, so that its program search finds
// them first, as in a real installation. An "explorer.exe" stand-in there catches the help page.
class GameFolder {
  public:
    GameFolder();
    std::wstring Path() const { return folder_.Path(); }
    std::wstring operator/(const std::wstring &relative) const { return folder_ / relative; }
    std::wstring SinglePlayerPrefs() const { return folder_ / L"Data\\gfprefs.dat"; }
    std::wstring MultiplayerPrefs() const { return folder_ / L"Data\\Multi\\mpprefs.dat"; }
    // Lines "<program>|<arguments>" of every stand-in start, in order.
    std::vector<std::string> Launches() const;

  private:
    wintest::TempFolder folder_{L"nightjar"};
};

struct ShownMessage {
    std::wstring caption;
    std::wstring text;
};
inline bool operator==(const ShownMessage &a, const ShownMessage &b) {
    return a.caption == b.caption && a.text == b.text;
}
void PrintTo(const ShownMessage &m, std::ostream *os);

class Nightjar {
  public:
    explicit Nightjar(const GameFolder &game);
    DWORD Pid() const { return process_.Id(); }
    HANDLE Process() const { return process_.Handle(); }

    // The visible dialog; fails the test when it does not show up.
    HWND Dialog();
    bool Ticked(int id);
    void Click(int id);
    // Answers with OK every message box that shows up until the launcher is quiet again, and
    // returns them in order. "Quiet" means: every click posted so far has been handled and the
    // programs it started have ended.
    std::vector<ShownMessage> Answer();
    // Clicks and answers; the common step of every test.
    std::vector<ShownMessage> Press(int id);
    // Ends the launcher the given way and returns its exit code (or STILL_ACTIVE).
    DWORD CloseWith(void (*how)(HWND));

  private:
    bool WaitForChildrenToEnd();

    wintest::ChildProcess process_;
    HWND dialog_ = nullptr;
};

// Checks that the file is `original` with byte 68 set to 0 (grown to 69 bytes if it was shorter).
void ExpectPatched(const std::wstring &path, const std::string &original);

} // namespace nightjar_test
