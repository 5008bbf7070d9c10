#pragma once
// A folder's files and their bytes, for comparing a game folder before and after a page's work.
#include <map>
#include <string>

namespace kittest {

// Every file below a folder, by its path relative to it, with its bytes; a trailing "*" on the
// path marks a read-only file.
using FolderContents = std::map<std::wstring, std::string>;
FolderContents Contents(const std::wstring &folder);

} // namespace kittest
