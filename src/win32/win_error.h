#pragma once
// Turns Windows failures into the kit's error type, with the system's own message text.
#include <windows.h>

#include <string>

namespace win32 {

std::wstring SystemMessage(DWORD code);

[[noreturn]] void RaiseWin32(DWORD code, const std::wstring &source, const std::wstring &context = {});
[[noreturn]] void RaiseLastError(const std::wstring &source, const std::wstring &context = {});
[[noreturn]] void RaiseHResult(HRESULT hr, const std::wstring &source, const std::wstring &context = {});

} // namespace win32
