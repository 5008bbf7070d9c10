#include "support/gui.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "support/png.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"

namespace wintest {

namespace {

// Cross-process messages go with a timeout so a hung program fails the test instead of hanging it.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, Patience(5000), &result))
        return -1;
    return static_cast<LRESULT>(result);
}

bool IsClass(HWND window, const wchar_t *name) {
    return _wcsicmp(WindowClass(window).c_str(), name) == 0;
}

// Top-level windows in Z order: of process `pid` unless it is 0, of the class and with exactly
// the caption given, if given.
std::vector<HWND> TopWindows(DWORD pid, const std::wstring *caption, const wchar_t *className,
                             bool hiddenToo = false) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if ((hiddenToo || IsWindowVisible(w)) && (pid == 0 || owner == pid) &&
            (!caption || WindowText(w) == *caption))
            found.push_back(w);
    }
    return found;
}

std::optional<MessageBoxInfo> WaitForBox(DWORD pid, const std::wstring *caption, HWND except, DWORD ms) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows(pid, caption, L"#32770"))
                if (w != except)
                    return (box = w) != nullptr;
            return false;
        },
        ms);
    return box ? std::optional<MessageBoxInfo>(ReadMessageBox(box)) : std::nullopt;
}

ControlInfo ReadControl(HWND control) {
    ControlInfo c;
    c.window = control;
    c.className = WindowClass(control);
    c.text = WindowText(control);
    c.id = GetDlgCtrlID(control);
    if (c.id == 0xFFFF)
        c.id = -1; // the 16-bit id of a template's -1
    c.style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    GetWindowRect(control, &c.rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&c.rect), 2);
    if (IsClass(control, L"Button"))
        c.check = static_cast<int>(Ask(control, BM_GETCHECK));
    c.visible = IsWindowVisible(control) != FALSE;
    c.enabled = IsWindowEnabled(control) != FALSE;
    return c;
}

// The window's rectangle as on the screen, RGB rows top to bottom.
std::vector<std::uint8_t> CopyFromScreen(const RECT &r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}; // negative height: top-down rows
    void *bits = nullptr;
    win32::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        throw std::runtime_error("screenshot: CreateDIBSection failed");
    {
        std::unique_ptr<HDC__, decltype(&DeleteDC)> memory(CreateCompatibleDC(nullptr), DeleteDC);
        win32::WindowDC screen(nullptr);
        HGDIOBJ old = SelectObject(memory.get(), bitmap.Get());
        BitBlt(memory.get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory.get(), old);
    }
    std::vector<std::uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    const auto *bgrx = static_cast<const std::uint8_t *>(bits);
    for (size_t i = 0; i < rgb.size() / 3; ++i)
        for (int k = 0; k < 3; ++k)
            rgb[i * 3 + k] = bgrx[i * 4 + 2 - k];
    return rgb;
}

INT_PTR CALLBACK IgnoreEverything(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void PostKey(HWND target, UINT down, UINT up, WPARAM key, LPARAM extraFlags) {
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, down, key, 1 | scan | extraFlags);
    PostMessageW(target, up, key, 1 | scan | extraFlags | (1L << 30) | (1L << 31));
}

} // namespace

std::wstring WindowText(HWND window) {
    // GetWindowText reads another process's caption without sending it a message.
    wchar_t buffer[1024];
    int n = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n : 0);
}

std::wstring WindowClass(HWND window) {
    wchar_t buffer[256];
    int n = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, n > 0 ? n : 0);
}

HWND FindTopWindow(const std::wstring &caption, DWORD pid, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto windows = TopWindows(pid, &caption, nullptr);
            return (found = windows.empty() ? nullptr : windows.front()) != nullptr;
        },
        ms);
    return found;
}

std::vector<HWND> VisibleTopWindows(DWORD pid) {
    return TopWindows(pid, nullptr, nullptr);
}

std::vector<ControlInfo> ChildControls(HWND parent) {
    std::vector<ControlInfo> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(ReadControl(child));
    return controls;
}

std::optional<ControlInfo> FindControl(HWND parent, int id) {
    for (auto &c : ChildControls(parent))
        if (c.id == id)
            return c;
    return std::nullopt;
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

DialogBaseUnits BaseUnitsOfFont(const std::wstring &face, WORD pointSize) {
    // A DLGTEMPLATE with DS_SETFONT: style, extended style, no controls, a 100 x 100 box, no menu,
    // the default class, an empty title, then the font.
    std::vector<WORD> t = {DS_SETFONT, WS_POPUP >> 16, 0, 0, 0, 0, 0, 100, 100, 0, 0, 0, pointSize};
    t.insert(t.end(), face.begin(), face.end());
    t.push_back(0);
    std::vector<DWORD> aligned((t.size() + 1) / 2);
    std::memcpy(aligned.data(), t.data(), t.size() * sizeof(WORD));
    win32::Window dialog(CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                    reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                                    nullptr, IgnoreEverything, 0));
    RECT r{0, 0, 4, 8};
    if (!dialog || !MapDialogRect(dialog.Get(), &r))
        throw std::runtime_error("BaseUnitsOfFont: no dialog with that font");
    return {r.right, r.bottom};
}

RECT PixelsFromDialogBox(const DialogUnitBox &box, DialogBaseUnits base) {
    RECT r;
    r.left = MulDiv(box.x, base.x, 4);
    r.top = MulDiv(box.y, base.y, 8);
    r.right = r.left + MulDiv(box.cx, base.x, 4);
    r.bottom = r.top + MulDiv(box.cy, base.y, 8);
    return r;
}

std::wstring Describe(const RECT &r) {
    return std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
           std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top);
}

bool Click(HWND parent, int controlId) {
    auto c = FindControl(parent, controlId);
    return c && PostMessageW(c->window, BM_CLICK, 0, 0);
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    info.owner = GetWindow(box, GW_OWNER);
    info.caption = WindowText(box);
    std::optional<std::wstring> anyStatic;
    for (auto &c : ChildControls(box)) {
        if (!c.visible)
            continue;
        if (IsClass(c.window, L"Button"))
            info.buttons.push_back(c.text);
        else if (!IsClass(c.window, L"Static"))
            continue;
        else if ((c.style & SS_TYPEMASK) == SS_ICON)
            info.hasIcon = info.hasIcon || Ask(c.window, STM_GETICON) != 0;
        else if (c.id == -1)
            info.text = c.text; // the message text's control has id 0xFFFF
        else if (!anyStatic)
            anyStatic = c.text;
    }
    if (info.text.empty() && anyStatic)
        info.text = *anyStatic;
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const std::wstring &caption, DWORD pid, DWORD ms) {
    return WaitForBox(pid, &caption, nullptr, ms);
}

std::optional<MessageBoxInfo> WaitForAnyMessageBox(DWORD pid, HWND except, DWORD ms) {
    return WaitForBox(pid, nullptr, except, ms);
}

std::vector<HWND> DialogWindows(DWORD pid, HWND except) {
    auto dialogs = TopWindows(pid, nullptr, L"#32770", true);
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), except), dialogs.end());
    return dialogs;
}

bool PressOk(HWND box, DWORD ms) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok)
        PostMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, ms);
}

void SendKey(HWND window, Key key) {
    HWND target = FocusedWindow(window);
    if (!target)
        target = window;
    if (key == Key::AltF4)
        PostKey(target, WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F4, 1L << 29); // context code: Alt is down
    else
        PostKey(target, WM_KEYDOWN, WM_KEYUP, key == Key::Enter ? VK_RETURN : VK_ESCAPE, 0);
}

void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void PostSystemClose(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool Sync(HWND window, DWORD ms) {
    // Sent messages overtake posted ones, so a round trip proves nothing about what was posted.
    // Instead post a harmless, visible change of a button's pushed look behind everything else
    // and wait until it shows, then take it back the same way.
    HWND button = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child && !button; child = GetWindow(child, GW_HWNDNEXT))
        if (IsClass(child, L"Button"))
            button = child;
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

bool ProcessEnded(HANDLE process, DWORD *exitCode) {
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process, exitCode);
    return true;
}

std::wstring SaveScreenshot(HWND window, const std::wstring &name) {
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        throw std::runtime_error("SaveScreenshot: no window to take");
    // What reaches the screen can lag behind the painting; take the picture once it holds still.
    std::vector<std::uint8_t> previous = CopyFromScreen(r), current;
    WaitUntil(
        [&] {
            current = CopyFromScreen(r);
            return std::exchange(previous, current) == current;
        },
        3000);
    // The session keeps the folder beside the program folder.
    std::wstring program = ProgramFolder();
    std::wstring folder = program.substr(0, program.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + name + L".png";
    WriteFile(path, EncodePng(r.right - r.left, r.bottom - r.top, current));
    return path;
}

} // namespace wintest
