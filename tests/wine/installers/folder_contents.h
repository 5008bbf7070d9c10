#pragma once
// What a game folder holds and what the launcher's shortcut says, for comparing before and after; with the
// kit archives of zip_builder.h, the page tests and the journey share them.
#include <map>
#include <string>

namespace kittest {

// Every file and folder below a folder by its path relative to it ("Data\\" for a folder), with
// the file's bytes; a trailing "*" marks a read-only file.
using FolderContents = std::map<std::wstring, std::string>;
FolderContents Contents(const std::wstring &folder);

// A shortcut file as the system's shell link object reads it back. (Not its window style: Wine reads
// back a normal window whatever was saved.)
struct ShortcutFields {
    std::wstring target, workingDirectory, description;
};
ShortcutFields ReadShortcut(const std::wstring &file);
// Where the launcher page puts its shortcut: "Nightjar.lnk" on this user's desktop.
std::wstring LauncherShortcut();

} // namespace kittest
