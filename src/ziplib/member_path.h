#pragma once
// Turns a member's stored name into folder and file names that are safe to create below the
// extraction folder on Windows and on POSIX systems alike, or refuses the name. The same rules
// apply on every platform, so that an archive behaves the same wherever it is tested.
#include <string>
#include <vector>

namespace ziplib {

struct MemberPath {
    std::vector<std::string> folders; // in order, outermost first
    std::string fileName;             // empty for a folder entry
};

// Fails (kStatusMemberFailed) with the reason when the name could reach outside the extraction
// folder or name something other than a plain file: "..", absolute paths, drive letters,
// backslashes, colons (NTFS streams), device names, trailing dots or spaces, characters that
// Windows forbids, control characters or NULs. "." and empty components are dropped.
MemberPath CheckedMemberPath(const std::string &name);

// True when `component` names a DOS device (CON, NUL, COM1, LPT1, ...), with or without an extension.
bool IsDeviceName(const std::string &component);

} // namespace ziplib
