#pragma once
// The kit archive and the one way every install page takes its files out of it.
#include <string>
#include <string_view>
#include <vector>

#include "unzip/unzip.h"

namespace wizard {

// Every page but the launcher page opens the kit archive by this exact name.
constexpr wchar_t kKitArchive[] = L"MendpackFiles.zip";

// Lists `archive` with `reader`, deselects every member whose file name (its folder in the archive
// aside) is not exactly one of `wanted`, and extracts the rest into `folder`. A wanted member that
// the archive holds but the library could not write (a full disk, a folder that cannot be written,
// a file in use) raises mend::Error with the library's status, its reason and the file's name.
// What the archive does not hold is not judged here: callers look for the files they need.
void ExtractMembers(cUnzip &reader, const std::wstring &archive, const std::wstring &folder,
                    const std::vector<std::wstring> &wanted);

// True when a file name found by the search "Mend*.zip" really matches it in its long form, letter
// case aside. The platform's search also matches the short (8.3) names, which would let
// "Mendpack.zipx" (short name "MENDPA~1.ZIP") pass for a kit archive.
bool MatchesKitPattern(std::wstring_view name);

} // namespace wizard
