#include "wizard/pages/page.h"

#include "common/error.h"
#include "common/text.h"
#include "win32/win_error.h"
#include "wizard/pages/page_fonts.h"
#include "wizard/pages/wizard.h"

namespace wizard {

namespace {

constexpr wchar_t kPageClass[] = L"MendpackPage";
constexpr DWORD kPageStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPageExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

void RegisterPageClass(WNDPROC proc) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kPageClass;
    if (!RegisterClassExW(&wc))
        win32::RaiseLastError(mend::ProgramName(), L"page window class");
    registered = true;
}

struct ControlClass {
    const wchar_t *className;
    DWORD style;
};

ControlClass ClassFor(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX};
    case ControlKind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::OptionButton:
        return {L"BUTTON", BS_AUTORADIOBUTTON | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::Button:
        break;
    }
    return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
}

} // namespace

Page::Page(Wizard &wizard, PageId id) : wizard_(wizard), id_(id) {}

void Page::Create() {
    RegisterPageClass(&Page::WindowProc);
    RECT frame{0, 0, TwipsToPixelsX(Layout().clientWidth), TwipsToPixelsY(Layout().clientHeight)};
    AdjustWindowRectEx(&frame, kPageStyle, FALSE, kPageExStyle);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(kPageExStyle, kPageClass, Layout().caption, kPageStyle, left, top, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        win32::RaiseLastError(mend::ProgramName(), L"page window");
    window_.Reset(hwnd);
    CreateControls();
    Form_Load();
}

// Controls are made in tab order: the creation order is the order the Tab key follows.
void Page::CreateControls() {
    const ControlLayout *previous = nullptr;
    for (const ControlLayout *c : Layout().InTabOrder()) {
        ControlClass cls = ClassFor(c->kind);
        // Option buttons that follow each other form one group; every other control starts a group.
        bool continuesGroup =
            previous && previous->kind == ControlKind::OptionButton && c->kind == ControlKind::OptionButton;
        DWORD style = WS_CHILD | WS_VISIBLE | cls.style | (continuesGroup ? 0 : WS_GROUP);
        HWND control = CreateWindowExW(
            0, cls.className, c->text, style, TwipsToPixelsX(c->left), TwipsToPixelsY(c->top),
            TwipsToPixelsX(c->width), TwipsToPixelsY(c->height), Hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(*c))), GetModuleHandleW(nullptr), nullptr);
        if (!control)
            win32::RaiseLastError(mend::ProgramName(), c->name);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c->font)), FALSE);
        previous = c;
    }
}

void Page::Show() {
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd());
    // The first control in tab order that takes the focus gets it.
    for (const ControlLayout *c : Layout().InTabOrder()) {
        if (c->kind == ControlKind::Label)
            continue;
        SetFocus(Control(c->name));
        break;
    }
    UpdateWindow(Hwnd());
}

void Page::Hide() {
    ShowWindow(Hwnd(), SW_HIDE);
}

HWND Page::Control(const wchar_t *control) const {
    const ControlLayout *c = Layout().Find(control);
    return c ? GetDlgItem(Hwnd(), ControlId(*c)) : nullptr;
}

bool Page::IsChecked(const wchar_t *control) const {
    return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Page::SetChecked(const wchar_t *control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT CALLBACK Page::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *page = reinterpret_cast<Page *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!page)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return page->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT Page::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            for (const auto &c : Layout().controls)
                if (c.kind == ControlKind::Button && ControlId(c) == LOWORD(wParam))
                    Dispatch(c.name);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
        // Closing a page through its frame is the same as Exit: the wizard ends.
        wizard_.Quit();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The one place where a handler's failure stops: nothing may unwind through the window manager.
void Page::Dispatch(const std::wstring &control) {
    try {
        OnClick(control);
    } catch (const EndOfProgram &) {
        wizard_.Quit();
    } catch (const mend::Error &e) {
        wizard_.ReportError(e);
    } catch (const std::exception &e) {
        wizard_.ReportError(mend::Error(51, mend::ProgramName(), mend::WideFromUtf8(e.what())));
    }
}

} // namespace wizard
