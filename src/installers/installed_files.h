#pragma once
// The files that the install pages put into the game folder, and where the player's own files of
// those names are kept while the kit's stand in their place.

namespace installers {

struct InstalledFile {
    const wchar_t *file; // in the game folder
    // The members of the kit archive that a page puts there (one of them for "glide2x.dll").
    const wchar_t *members[2];
};

// In the order in which the uninstall removes them.
constexpr InstalledFile kInstalledFiles[] = {
    {L"glide2x.dll", {L"dgvoodoo sync glide2x.dll", L"OS Glide2x.dll"}},
    {L"OpenGLid.INI", {L"OpenGLid.INI"}},
    {L"Nightjar.exe", {L"Nightjar.exe"}},
    {L"Nightjar.htm", {L"Nightjar.htm"}},
    {L"Turbo.EXE", {L"Turbo.EXE"}},
    {L"Turbo.HLP", {L"Turbo.HLP"}},
};

// A folder of the game folder; each kept file has its own name there.
constexpr wchar_t kKeptFolder[] = L"Mendpack Backup";

} // namespace installers
