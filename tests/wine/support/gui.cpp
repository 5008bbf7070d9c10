#include "support/gui.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>

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

// The first visible top-level window of `pid` and class `className` with this caption.
HWND WaitForTop(const std::wstring &caption, DWORD pid, const wchar_t *className, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows(pid, className))
                if (IsWindowVisible(w) && WindowText(w) == caption)
                    return (found = w) != nullptr;
            return false;
        },
        ms);
    return found;
}

// The rectangle as on the screen, as 8-bit RGB rows top to bottom, each after its PNG filter
// byte (0: none).
std::string CopyFromScreen(const RECT &r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}; // top-down rows
    void *bits = nullptr;
    win32::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::unique_ptr<HDC__, decltype(&DeleteDC)> memory(CreateCompatibleDC(nullptr), DeleteDC);
    if (!bitmap || !memory)
        throw std::runtime_error("screenshot: no bitmap");
    HGDIOBJ old = SelectObject(memory.get(), bitmap.Get());
    BitBlt(memory.get(), 0, 0, w, h, win32::WindowDC(nullptr).Get(), r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory.get(), old);
    std::string rows;
    const auto *bgrx = static_cast<const char *>(bits);
    for (int i = 0; i < w * h; ++i) {
        if (i % w == 0)
            rows += '\0';
        rows += {bgrx[i * 4 + 2], bgrx[i * 4 + 1], bgrx[i * 4]};
    }
    return rows;
}

std::string BigEndian32(uLong v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// A PNG chunk: length, type, data and a CRC over type and data.
std::string Chunk(const std::string &type, const std::string &data) {
    std::string typed = type + data;
    return BigEndian32(data.size()) + typed +
           BigEndian32(
               crc32(0, reinterpret_cast<const Bytef *>(typed.data()), static_cast<uInt>(typed.size())));
}

// PNG written here rather than by the platform's imaging libraries, whatever they can do under Wine.
std::string Png(int w, int h, const std::string &rows) {
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    if (compress(reinterpret_cast<Bytef *>(packed.data()), &size,
                 reinterpret_cast<const Bytef *>(rows.data()), static_cast<uLong>(rows.size())) != Z_OK)
        throw std::runtime_error("screenshot: zlib failed");
    packed.resize(size);
    // Depth 8, RGB, deflate, adaptive filters, no interlace.
    std::string header = BigEndian32(w) + BigEndian32(h) + std::string("\x08\x02\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", packed) +
           Chunk("IEND", "");
}

} // namespace

std::wstring WindowText(HWND window) {
    // GetWindowText reads another process's caption without sending it a message.
    wchar_t buffer[1024];
    int n = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, std::max(n, 0));
}

std::wstring WindowClass(HWND window) {
    wchar_t buffer[256];
    int n = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, std::max(n, 0));
}

std::vector<HWND> TopWindows(DWORD pid, const wchar_t *className) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (pid == 0 || owner == pid)
            found.push_back(w);
    }
    return found;
}

HWND FindTopWindow(const std::wstring &caption, DWORD pid, DWORD ms) {
    return WaitForTop(caption, pid, nullptr, ms);
}

std::vector<ControlInfo> ChildControls(HWND parent) {
    std::vector<ControlInfo> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back({child, WindowClass(child), WindowText(child),
                            static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)),
                            IsWindowVisible(child) != FALSE});
    }
    return controls;
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool Click(HWND parent, int controlId) {
    HWND control = GetDlgItem(parent, controlId);
    return control && PostMessageW(control, BM_CLICK, 0, 0);
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info{box, GetWindow(box, GW_OWNER), WindowText(box), {}, {}, false};
    for (const ControlInfo &c : ChildControls(box)) {
        if (!c.visible)
            continue;
        if (c.className == L"Button")
            info.buttons.push_back(c.text);
        else if (c.className != L"Static")
            continue;
        else if ((c.style & SS_TYPEMASK) == SS_ICON)
            info.hasIcon = info.hasIcon || Ask(c.window, STM_GETICON) != 0;
        else if (info.text.empty())
            info.text = c.text; // the message, the first text of the box
    }
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const std::wstring &caption, DWORD pid, DWORD ms) {
    HWND box = WaitForTop(caption, pid, L"#32770", ms);
    return box ? std::optional<MessageBoxInfo>(ReadMessageBox(box)) : std::nullopt;
}

std::vector<HWND> DialogWindows(DWORD pid, HWND except) {
    auto dialogs = TopWindows(pid, L"#32770");
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), except), dialogs.end());
    return dialogs;
}

bool PressOk(HWND box, DWORD ms) {
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageW(ok ? ok : box, ok ? BM_CLICK : WM_COMMAND, ok ? 0 : IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, ms);
}

void SendKey(HWND window, Key key) {
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
        if (WindowClass(child) == L"Button")
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

std::wstring SaveScreenshot(HWND window, const std::wstring &name) {
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        throw std::runtime_error("SaveScreenshot: no window to take");
    // What reaches the screen can lag behind the painting; take the picture once it holds still.
    std::string previous = CopyFromScreen(r), current;
    WaitUntil(
        [&] {
            current = CopyFromScreen(r);
            return std::exchange(previous, current) == current;
        },
        3000);
    // The session keeps the folder beside the program folder.
    const std::wstring folder = ProgramFolder() + L"\\..\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + name + L".png";
    WriteFile(path, Png(r.right - r.left, r.bottom - r.top, current));
    return path;
}

} // namespace wintest
