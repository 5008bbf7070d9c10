#pragma once
// The player's own files among those that the install pages write into the game folder: kept
// before a page writes over them, given back by the uninstall. A file is the kit's own when its
// bytes are those of a member of the kit archive that a page could have put there; any other file
// is the player's.
#include <string>
#include <vector>

#include "wizard/services/file_system.h"

namespace installers {

// "Mendpack Backup\<file>".
std::wstring KeptCopy(const std::wstring &file);

// Before a page extracts `members` from `archive` and puts them in place: each file of the game
// folder that one of them will replace and that is the player's own is copied into the kept
// folder, unless a copy is kept there already (it is the player's file from before the kit). When
// a copy fails, the copies made so far are taken back and the failure is raised: the page has
// changed nothing.
void KeepPlayerFiles(const wizard::FileSystemObject &fso, const std::wstring &archive,
                     const std::vector<std::wstring> &members);

// Removes the kit's files from the game folder and puts the kept copies back under their own
// names; the kept folder goes once it is empty. A player's file that no page replaced stays, and
// so does a file that cannot be told apart from the player's because the kit archive is not there.
void RemoveKitFiles(const wizard::FileSystemObject &fso);

} // namespace installers
