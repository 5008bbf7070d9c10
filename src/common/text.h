#pragma once
// Portable text helpers: UTF-8 <-> wide conversion and the simple case rules the kit uses.
#include <string>
#include <string_view>

namespace mend {

std::string Utf8FromWide(std::wstring_view text);
// Appends one code point (at most U+10FFFF, not a surrogate) to UTF-8 text.
void AppendUtf8(std::string &out, char32_t c);
std::wstring WideFromUtf8(std::string_view text);

// Lower-cases the letters A to Z and leaves every other character alone.
std::wstring LowerAscii(std::wstring text);
std::string LowerAscii(std::string text);

bool Contains(std::wstring_view text, std::wstring_view part);

// The text without the spaces (U+0020 only) at either end.
std::wstring TrimSpaces(std::wstring_view text);

// `folder`, `separator` and `name`; no separator is added after one that `folder` already ends in
// ("C:" stays whole, "/" too, on either system), and an empty `folder` gives `name` alone.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name, wchar_t separator = L'\\');
std::string JoinPath(std::string_view folder, std::string_view name, char separator);

// "C:\a\b\mendpack.exe" or "/x/y/mendpack" -> "mendpack".
std::wstring StripFolderAndExtension(std::wstring_view path);

} // namespace mend
