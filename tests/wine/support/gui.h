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

// The top-level windows of process `pid` (of every process if it is 0) in Z order, shown or not,
// of the class given if one is.
std::vector<HWND> TopWindows(DWORD pid, const wchar_t *className = nullptr);
// The visible top-level window whose caption is exactly `caption` (of process `pid` unless it
// is 0), polled for up to `ms`; nullptr when none showed up in time.
HWND FindTopWindow(const std::wstring &caption, DWORD pid = 0, DWORD ms = kGuiTimeoutMs);

// The direct children of `parent` in Z order, which for a dialog is the order of creation and
// of the Tab key.
std::vector<HWND> Children(HWND parent);
// The control that has the keyboard focus in the thread that owns `window`.
HWND FocusedWindow(HWND window);

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

// Brings the window to the front, copies its rectangle from the screen once the picture holds
// still, and writes it as <session folder>\screenshots\<name>.png; returns the path. (PrintWindow
// gives neither the controls nor the frame under Wine.)
std::wstring SaveScreenshot(HWND window, const std::wstring &name);

} // namespace wintest
