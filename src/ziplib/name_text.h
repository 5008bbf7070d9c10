#pragma once
// Member names as text: the archive stores them either as UTF-8 (general-purpose flag bit 11)
// or in the DOS code page 437, which is what every older zip tool wrote (names from Unix hosts
// that are valid UTF-8 are taken as UTF-8; see zip_directory.cpp).
#include <cstdint>
#include <string>
#include <string_view>

namespace ziplib {

// Every byte of code page 437 as UTF-8; bytes below 0x80 stay as they are (control
// characters included, so that the path checks still see them).
std::string Utf8FromCp437(std::string_view bytes);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// `text` with every ill-formed UTF-8 sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

// True when every byte is printable ASCII (0x20 to 0x7E): such a name reads the same in code
// page 437 and UTF-8 and has nothing to replace for the listing.
bool IsPrintableAscii(std::string_view bytes);

// The form shown in the listing: control characters (NUL included) become '?'.
void MakePrintable(std::string &utf8);

} // namespace ziplib
