#pragma once
// Driving the real windows of another process (or of a second thread of this one) from a test:
// finding them, reading their controls, clicking, answering message boxes, keys, screenshots.
// Everything that changes the other side is posted, never sent, so the driver keeps running when
// the click opens a modal message box; everything the test waits for is polled (WaitUntil).
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"

namespace wintest {

constexpr DWORD kGuiTimeoutMs = 15000;

// Cross-process messages go with a timeout so a hung program fails the test instead of hanging it.
inline LRESULT Ask(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, Patience(5000), &result))
        return -1;
    return static_cast<LRESULT>(result);
}

inline std::wstring WindowText(HWND window) {
    // GetWindowText reads another process's caption without sending it a message.
    wchar_t text[1024];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 1024), 0));
}

inline std::wstring WindowClass(HWND window) {
    wchar_t name[256];
    return std::wstring(name, std::max(GetClassNameW(window, name, 256), 0));
}

// The top-level windows of process `pid` (of every process if it is 0) in Z order, shown or not,
// of the class given if one is.
inline std::vector<HWND> TopWindows(DWORD pid, const wchar_t *className = nullptr) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (pid == 0 || owner == pid)
            found.push_back(w);
    }
    return found;
}

// The visible dialog (class #32770: a message box, or the launcher itself) of process `pid` whose
// caption is exactly `caption`, polled for up to `ms`; nullptr when none showed up in time.
inline HWND FindDialog(const std::wstring &caption, DWORD pid, DWORD ms = kGuiTimeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows(pid, L"#32770"))
                if (IsWindowVisible(w) && WindowText(w) == caption)
                    return (found = w) != nullptr;
            return false;
        },
        ms);
    return found;
}

// The direct children of `parent` in Z order, which for a dialog is the order of creation and
// of the Tab key.
inline std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The control that has the keyboard focus in the thread that owns `window`.
inline HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Posts BM_CLICK to a child control; false when no such control exists.
inline bool Click(HWND parent, int controlId) {
    HWND control = GetDlgItem(parent, controlId);
    return control && PostMessageW(control, BM_CLICK, 0, 0);
}

// A message box (dialog class #32770) and what it shows.
struct MessageBoxInfo {
    HWND window = nullptr, owner = nullptr;
    std::wstring caption, text;        // text: the message's static control
    std::vector<std::wstring> buttons; // texts of the visible buttons, in tab order
    bool hasIcon = false;
};

inline MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info{box, GetWindow(box, GW_OWNER), WindowText(box), {}, {}, false};
    for (HWND c : Children(box)) {
        const std::wstring kind = IsWindowVisible(c) ? WindowClass(c) : L"";
        if (kind == L"Button")
            info.buttons.push_back(WindowText(c));
        else if (kind == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            info.hasIcon = info.hasIcon || Ask(c, STM_GETICON) != 0;
        else if (kind == L"Static" && info.text.empty())
            info.text = WindowText(c); // the message, the first text of the box
    }
    return info;
}

// Top-level dialog windows (#32770) of `pid` other than `except`, shown or not: a modal dialog
// or message box shows itself only when its message loop first runs dry, so right after its
// owner's handler has opened it, it can exist and still be hidden.
inline std::vector<HWND> DialogWindows(DWORD pid, HWND except = nullptr) {
    auto dialogs = TopWindows(pid, L"#32770");
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), except), dialogs.end());
    return dialogs;
}

// Presses OK on a message box and waits until it has gone; false if it stayed.
inline bool PressOk(HWND box, DWORD ms = kGuiTimeoutMs) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, ms);
}

// Keys, posted to the control that has the focus in the window's thread, the way the keyboard
// would deliver them, so that the dialog manager's own handling of each key runs.
enum class Key { Enter, Escape, AltF4 };
inline void SendKey(HWND window, Key key) {
    HWND target = FocusedWindow(window) ? FocusedWindow(window) : window;
    const bool alt = key == Key::AltF4;
    const UINT vk = alt ? VK_F4 : key == Key::Enter ? VK_RETURN : VK_ESCAPE;
    // Repeat count 1, the scan code, and with Alt the context code; the key's release also has
    // the previous state and transition bits.
    const LPARAM flags =
        1 | static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16 | (alt ? 1L << 29 : 0);
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, flags);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, flags | (1L << 30) | (1L << 31));
}

inline void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

// Waits until the window's thread has handled everything posted to it before this call.
inline bool Sync(HWND window, DWORD ms = kGuiTimeoutMs) {
    // Sent messages overtake posted ones, so a round trip proves nothing about what was posted.
    // Instead post a harmless, visible change of a button's pushed look behind everything else
    // and wait until it shows, then take it back the same way.
    HWND button = FindWindowExW(window, nullptr, L"Button", nullptr); // the first in Z order
    if (!button)
        return Ask(window, WM_NULL) != -1;
    auto pushed = [&] { return (Ask(button, BM_GETSTATE) & BST_PUSHED) != 0; };
    bool wasPushed = pushed();
    PostMessageW(button, BM_SETSTATE, !wasPushed, 0);
    if (!WaitUntil([&] { return pushed() != wasPushed; }, ms))
        return false;
    PostMessageW(button, BM_SETSTATE, wasPushed, 0);
    return WaitUntil([&] { return pushed() == wasPushed; }, ms);
}

// Brings the window to the front, copies its rectangle from the screen once the picture holds
// still, and writes it as <session folder>\screenshots\<name>.png; returns the path. (PrintWindow
// gives neither the controls nor the frame under Wine.)
inline std::wstring SaveScreenshot(HWND window, const std::wstring &name) {
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        throw std::runtime_error("SaveScreenshot: no window to take");
    const int w = r.right - r.left, h = r.bottom - r.top;
    win32::WindowDC screen(nullptr);
    win32::GdiObject bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
    std::unique_ptr<HDC__, decltype(&DeleteDC)> memory(CreateCompatibleDC(screen.Get()), DeleteDC);
    HGDIOBJ old = SelectObject(memory.get(), bitmap.Get());
    // What reaches the screen can lag behind the painting; take the picture once it holds still.
    std::string previous, current(static_cast<size_t>(w) * h * 4, '\0');
    WaitUntil(
        [&] {
            BitBlt(memory.get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
            GetBitmapBits(static_cast<HBITMAP>(bitmap.Get()), static_cast<LONG>(current.size()),
                          current.data());
            return std::exchange(previous, current) == current;
        },
        3000);
    SelectObject(memory.get(), old);
    // The session keeps the folder beside the program folder.
    const std::wstring folder = ProgramFolder() + L"\\..\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + name + L".png";
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
    CLSID png; // the PNG encoder
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    const bool saved =
        Gdiplus::Bitmap(static_cast<HBITMAP>(bitmap.Get()), nullptr).Save(path.c_str(), &png, nullptr) ==
        Gdiplus::Ok;
    Gdiplus::GdiplusShutdown(gdiplus);
    if (!saved)
        throw std::runtime_error("SaveScreenshot: the picture was not written");
    return path;
}

} // namespace wintest
