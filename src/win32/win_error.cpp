#include "win32/win_error.h"

#include "common/error.h"

namespace win32 {

std::wstring SystemMessage(DWORD code) {
    wchar_t *buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"Windows error " + std::to_wstring(code);
    return text;
}

namespace {
std::wstring WithContext(std::wstring text, const std::wstring &context) {
    return context.empty() ? text : text + L" (" + context + L")";
}
} // namespace

void RaiseWin32(DWORD code, const std::wstring &source, const std::wstring &context) {
    throw mend::Error(static_cast<long>(code), source, WithContext(SystemMessage(code), context));
}

void RaiseLastError(const std::wstring &source, const std::wstring &context) {
    RaiseWin32(GetLastError(), source, context);
}

void RaiseHResult(HRESULT hr, const std::wstring &source, const std::wstring &context) {
    DWORD code = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
    throw mend::Error(static_cast<long>(hr), source, WithContext(SystemMessage(code), context));
}

} // namespace win32
