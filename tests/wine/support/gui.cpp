#include "support/gui.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "support/process.h"
#include "support/temp_folder.h"

namespace wintest {

namespace {

// Cross-process messages go with a timeout so a hung program fails the test instead of hanging it.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

struct TopWindowSearch {
    DWORD pid;
    bool hiddenToo;
    const std::wstring *caption; // nullptr: any
    const wchar_t *className;    // nullptr: any
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<TopWindowSearch *>(param);
    if (!search->hiddenToo && !IsWindowVisible(window))
        return TRUE;
    if (search->pid != 0 && ProcessOfWindow(window) != search->pid)
        return TRUE;
    if (search->className && WindowClass(window) != search->className)
        return TRUE;
    if (search->caption && WindowText(window) != *search->caption)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid, const std::wstring *caption, const wchar_t *className,
                             bool hiddenToo = false) {
    TopWindowSearch search{pid, hiddenToo, caption, className, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

INT_PTR CALLBACK IgnoreEverything(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void PutWord(std::vector<WORD> &t, DWORD value) {
    t.push_back(static_cast<WORD>(value));
}

class MemoryDC {
  public:
    MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

RgbImage CaptureOnce(HWND window, Capture how) {
    RECT r;
    if (!GetWindowRect(window, &r))
        throw std::runtime_error("CaptureWindow: no such window");
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        throw std::runtime_error("CaptureWindow: empty window");

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        throw std::runtime_error("CaptureWindow: CreateDIBSection failed");
    {
        MemoryDC memory;
        HGDIOBJ old = SelectObject(memory.Get(), bitmap);
        if (how == Capture::Screen) {
            HDC screen = GetDC(nullptr);
            BitBlt(memory.Get(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
        } else {
            PrintWindow(window, memory.Get(), 0);
        }
        GdiFlush();
        SelectObject(memory.Get(), old);
    }
    RgbImage image;
    image.width = w;
    image.height = h;
    image.rgb.resize(static_cast<size_t>(w) * h * 3);
    const auto *bgrx = static_cast<const std::uint8_t *>(bits);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
        image.rgb[i * 3 + 0] = bgrx[i * 4 + 2];
        image.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
        image.rgb[i * 3 + 2] = bgrx[i * 4 + 0];
    }
    DeleteObject(bitmap);
    return image;
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

DWORD ProcessOfWindow(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND FindTopWindow(const std::wstring &caption, DWORD pid, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto windows = TopWindows(pid, &caption, nullptr);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        ms);
    return found;
}

std::vector<HWND> VisibleTopWindows(DWORD pid) {
    return TopWindows(pid, nullptr, nullptr);
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
    c.exStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE));
    GetWindowRect(control, &c.rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&c.rect), 2);
    if (_wcsicmp(c.className.c_str(), L"Button") == 0)
        c.check = static_cast<int>(Ask(control, BM_GETCHECK));
    c.visible = IsWindowVisible(control) != FALSE;
    c.enabled = IsWindowEnabled(control) != FALSE;
    return c;
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

std::optional<ControlInfo> FindControlByText(HWND parent, const std::wstring &text) {
    for (auto &c : ChildControls(parent))
        if (c.text == text)
            return c;
    return std::nullopt;
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

DialogBaseUnits BaseUnitsOfFont(const std::wstring &face, WORD pointSize) {
    // A classic DLGTEMPLATE with DS_SETFONT: header, no menu, default class, empty title, font.
    std::vector<WORD> t;
    DWORD style = WS_POPUP | DS_SETFONT;
    PutWord(t, style & 0xFFFF);
    PutWord(t, style >> 16);
    PutWord(t, 0); // extended style
    PutWord(t, 0);
    PutWord(t, 0); // no controls
    for (int i = 0; i < 4; ++i)
        PutWord(t, i < 2 ? 0 : 100); // x, y, cx, cy
    PutWord(t, 0);                   // menu
    PutWord(t, 0);                   // class
    PutWord(t, 0);                   // title
    PutWord(t, pointSize);
    for (wchar_t ch : face)
        PutWord(t, ch);
    PutWord(t, 0);
    std::vector<DWORD> aligned((t.size() + 1) / 2);
    std::memcpy(aligned.data(), t.data(), t.size() * sizeof(WORD));

    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()), nullptr,
                                             IgnoreEverything, 0);
    if (!dialog)
        throw std::runtime_error("BaseUnitsOfFont: CreateDialogIndirectParam failed");
    RECT r{0, 0, 4, 8};
    MapDialogRect(dialog, &r);
    DestroyWindow(dialog);
    return {r.right, r.bottom};
}

RECT PixelsFromDialogUnits(const RECT &u, DialogBaseUnits base) {
    return {MulDiv(u.left, base.x, 4), MulDiv(u.top, base.y, 8), MulDiv(u.right, base.x, 4),
            MulDiv(u.bottom, base.y, 8)};
}

RECT DialogUnitsFromPixels(const RECT &p, DialogBaseUnits base) {
    return {MulDiv(p.left, 4, base.x), MulDiv(p.top, 8, base.y), MulDiv(p.right, 4, base.x),
            MulDiv(p.bottom, 8, base.y)};
}

RECT PixelsFromDialogBox(const DialogUnitBox &box, DialogBaseUnits base) {
    RECT r;
    r.left = MulDiv(box.x, base.x, 4);
    r.top = MulDiv(box.y, base.y, 8);
    r.right = r.left + MulDiv(box.cx, base.x, 4);
    r.bottom = r.top + MulDiv(box.cy, base.y, 8);
    return r;
}

DialogUnitBox DialogBoxFromPixels(const RECT &p, DialogBaseUnits base) {
    return {MulDiv(p.left, 4, base.x), MulDiv(p.top, 8, base.y), MulDiv(p.right - p.left, 4, base.x),
            MulDiv(p.bottom - p.top, 8, base.y)};
}

std::wstring Describe(const DialogUnitBox &box) {
    return std::to_wstring(box.x) + L", " + std::to_wstring(box.y) + L", " + std::to_wstring(box.cx) +
           L" x " + std::to_wstring(box.cy);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

RECT TwipsFromPixels(const RECT &p, int dpi) {
    return {MulDiv(p.left, 1440, dpi), MulDiv(p.top, 1440, dpi), MulDiv(p.right, 1440, dpi),
            MulDiv(p.bottom, 1440, dpi)};
}

std::wstring Describe(const RECT &r) {
    return std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
           std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top);
}

bool Click(HWND parent, int controlId) {
    auto c = FindControl(parent, controlId);
    return c && PostMessageW(c->window, BM_CLICK, 0, 0);
}

bool ClickByText(HWND parent, const std::wstring &text) {
    auto c = FindControlByText(parent, text);
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
        if (_wcsicmp(c.className.c_str(), L"Static") == 0) {
            if ((c.style & SS_TYPEMASK) == SS_ICON) {
                info.hasIcon = info.hasIcon || Ask(c.window, STM_GETICON) != 0;
            } else if (c.id == -1) {
                info.text = c.text; // the message text's control has id 0xFFFF
            } else if (!anyStatic) {
                anyStatic = c.text;
            }
        } else if (_wcsicmp(c.className.c_str(), L"Button") == 0) {
            info.buttons.push_back(c.text);
        }
    }
    if (info.text.empty() && anyStatic)
        info.text = *anyStatic;
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const std::wstring &caption, DWORD pid, DWORD ms) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            auto boxes = TopWindows(pid, &caption, L"#32770");
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        ms);
    if (!box)
        return std::nullopt;
    return ReadMessageBox(box);
}

std::optional<MessageBoxInfo> WaitForAnyMessageBox(DWORD pid, HWND except, DWORD ms) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows(pid, nullptr, L"#32770"))
                if (w != except) {
                    box = w;
                    return true;
                }
            return false;
        },
        ms);
    if (!box)
        return std::nullopt;
    return ReadMessageBox(box);
}

std::vector<HWND> DialogWindows(DWORD pid, HWND except) {
    auto dialogs = TopWindows(pid, nullptr, L"#32770", true);
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), except), dialogs.end());
    return dialogs;
}

bool WaitUntilGone(HWND window, DWORD ms) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

bool PressOk(HWND box, DWORD ms) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok)
        PostMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    return WaitUntilGone(box, ms);
}

void SendKey(HWND window, Key key) {
    HWND target = FocusedWindow(window);
    if (!target)
        target = window;
    switch (key) {
    case Key::Enter:
        PostKey(target, WM_KEYDOWN, WM_KEYUP, VK_RETURN, 0);
        break;
    case Key::Escape:
        PostKey(target, WM_KEYDOWN, WM_KEYUP, VK_ESCAPE, 0);
        break;
    case Key::AltF4:
        PostKey(target, WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F4, 1L << 29); // context code: Alt is down
        break;
    }
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
        if (_wcsicmp(WindowClass(child).c_str(), L"Button") == 0)
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

RgbImage CaptureWindow(HWND window, Capture how) {
    if (how == Capture::Screen) {
        SetForegroundWindow(window);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // What reaches the screen can lag behind the painting; take the picture once it holds still.
    RgbImage previous = CaptureOnce(window, how), current;
    WaitUntil(
        [&] {
            current = CaptureOnce(window, how);
            if (current == previous)
                return true;
            previous = current;
            return false;
        },
        3000);
    return current;
}

std::wstring ScreenshotFolder() {
    std::wstring program = ProgramFolder();
    std::wstring folder = program.substr(0, program.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring SaveScreenshot(const RgbImage &image, const std::wstring &name) {
    std::wstring path = ScreenshotFolder() + L"\\" + name + L".png";
    WriteFile(path, EncodePng(image));
    return path;
}

std::wstring SaveScreenshot(HWND window, const std::wstring &name, Capture how) {
    return SaveScreenshot(CaptureWindow(window, how), name);
}

} // namespace wintest
