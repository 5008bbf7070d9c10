#pragma once
// Driving the real windows of another process (or of a second thread of this one) from a test:
// finding them, reading their controls, clicking, answering message boxes, keys, screenshots.
// Everything that changes the other side is posted, never sent, so the driver keeps running when
// the click opens a modal message box; everything the test waits for is polled (WaitUntil).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace wintest {

constexpr DWORD kGuiTimeoutMs = 15000;

std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);

// The visible top-level window whose caption is exactly `caption` (of process `pid` unless it
// is 0), polled for up to `ms`; nullptr when none showed up in time.
HWND FindTopWindow(const std::wstring &caption, DWORD pid = 0, DWORD ms = kGuiTimeoutMs);
// Visible top-level windows of a process, in Z order.
std::vector<HWND> VisibleTopWindows(DWORD pid);

struct ControlInfo {
    HWND window = nullptr;
    std::wstring className;
    std::wstring text;
    int id = 0; // GetDlgCtrlID; a control created with id -1 reads back as -1
    DWORD style = 0;
    RECT rect{};    // pixels, in client coordinates of the parent
    int check = -1; // BM_GETCHECK for buttons; -1 otherwise
    bool visible = false;
    bool enabled = false;

    DWORD ButtonType() const { return style & BS_TYPEMASK; }
    bool Checked() const { return check == BST_CHECKED; }
};

// The direct children of `parent` in Z order, which for a dialog is the order of creation and
// of the Tab key.
std::vector<ControlInfo> ChildControls(HWND parent);
std::optional<ControlInfo> FindControl(HWND parent, int id);
// The control that has the keyboard focus in the thread that owns `window`.
HWND FocusedWindow(HWND window);
int ScreenDpi();

// Dialog base units as the dialog manager derives them from a dialog font, measured with
// MapDialogRect on a hidden dialog of this process that uses the same font: the font of a dialog
// in another process cannot be used here, so the test names the template's font.
struct DialogBaseUnits {
    int x = 0; // pixels per 4 horizontal dialog units
    int y = 0; // pixels per 8 vertical dialog units
};
DialogBaseUnits BaseUnitsOfFont(const std::wstring &face, WORD pointSize);
// A template's control box in dialog units.
struct DialogUnitBox {
    int x = 0, y = 0, cx = 0, cy = 0;
};
// Where the dialog manager puts such a control: it converts the position and the size each on
// its own, so the right edge can differ by a pixel from converting the edge itself.
RECT PixelsFromDialogBox(const DialogUnitBox &box, DialogBaseUnits base);
// A rectangle as "x, y, w x h" for comparisons that print well.
std::wstring Describe(const RECT &r);

// Posts BM_CLICK to a child control; false when no such control exists.
bool Click(HWND parent, int controlId);

// A message box (dialog class #32770) and what it shows.
struct MessageBoxInfo {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;                 // the message's static control
    std::vector<std::wstring> buttons; // texts of the visible buttons, in tab order
    bool hasIcon = false;
};
MessageBoxInfo ReadMessageBox(HWND box);
// Waits for a visible #32770 window with this caption belonging to process `pid`.
std::optional<MessageBoxInfo> WaitForMessageBox(const std::wstring &caption, DWORD pid,
                                                DWORD ms = kGuiTimeoutMs);
// Waits for any visible #32770 window of `pid` other than `except` (a dialog program's own main
// window), to catch unexpected message boxes; nullopt when none appears within `ms`.
std::optional<MessageBoxInfo> WaitForAnyMessageBox(DWORD pid, HWND except = nullptr,
                                                   DWORD ms = kGuiTimeoutMs);
// Top-level dialog windows (#32770) of `pid` other than `except`, shown or not: a modal dialog
// or message box shows itself only when its message loop first runs dry, so right after its
// owner's handler has opened it, it can exist and still be hidden.
std::vector<HWND> DialogWindows(DWORD pid, HWND except = nullptr);
// Presses OK on a message box and waits until it has gone; false if it stayed.
bool PressOk(HWND box, DWORD ms = kGuiTimeoutMs);

// Keys, posted to the control that has the focus in the window's thread, the way the keyboard
// would deliver them, so that the dialog manager's own handling of each key runs.
enum class Key { Enter, Escape, AltF4 };
void SendKey(HWND window, Key key);
void PostClose(HWND window);       // WM_CLOSE
void PostSystemClose(HWND window); // the system menu's Close (WM_SYSCOMMAND SC_CLOSE)
// Waits until the window's thread has handled everything posted to it before this call.
bool Sync(HWND window, DWORD ms = kGuiTimeoutMs);

// True when the process has ended; its exit code then goes to *exitCode.
bool ProcessEnded(HANDLE process, DWORD *exitCode = nullptr);

// Brings the window to the front, copies its rectangle from the screen once the picture holds
// still, and writes it as <session folder>\screenshots\<name>.png; returns the path. (PrintWindow
// gives neither the controls nor the frame under Wine.)
std::wstring SaveScreenshot(HWND window, const std::wstring &name);

} // namespace wintest
