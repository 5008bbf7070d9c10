#pragma once
// Conversions between wide text and the process's ANSI code page, for narrow Win32 calls.
#include <string>
#include <string_view>

namespace win32 {

std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);

} // namespace win32
