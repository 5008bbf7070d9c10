#pragma once
// Where the kit works: the game folder is the process's current directory, never changed.
#include <string>

namespace wizard {

// The current directory as a full path.
std::wstring GameFolder();

// The first ordinary file (not hidden, not system, not a folder) in the game folder whose name
// matches "Mend*.zip", as the file system lists them; its bare name, or empty when none matches.
std::wstring FindKitArchive();

// "<the user's desktop>\Nightjar.lnk", the launcher's shortcut.
std::wstring NightjarShortcutFile();

} // namespace wizard
