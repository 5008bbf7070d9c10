#pragma once
// Member paths as the component shows them ("dir\sub", "file.txt") and as our zip library
// wants them back ("dir/sub/file.txt").
#include <cstddef>
#include <string>

namespace mUnzip {

// Replaces every `find` after the first character by `replace`. Returns the 1-based position
// just after the last character replaced, or 1 when there was none. The first character is left
// alone so that a path that starts with a separator keeps it and still goes back unchanged.
size_t ReplaceSeparators(std::wstring &text, wchar_t find, wchar_t replace);

// Every `find` anywhere in the text becomes `replace`.
void ReplaceAll(std::wstring &text, wchar_t find, wchar_t replace);

// Cuts the text at its first NUL.
std::wstring CutAtNul(std::wstring text);

// The member path for the library's include list from a listed folder ("dir\sub") and name.
std::wstring ArchivePath(const std::wstring &folder, const std::wstring &name);

} // namespace mUnzip
