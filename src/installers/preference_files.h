#pragma once
// The game's two preference files, the backups the presets page keeps of the player's own, and
// the presets in the kit archive that replace them.

namespace installers {

struct PreferenceFile {
    const wchar_t *file;   // the game's file, relative to the game folder
    const wchar_t *backup; // beside it: "w" in front, ".bak" as extension
    const wchar_t *preset; // the member of the kit archive, extracted into the game folder
};

constexpr PreferenceFile kPreferenceFiles[] = {
    {L"Data\\gfprefs.dat", L"Data\\wgfprefs.bak", L"gfprefs.dat"},
    {L"Data\\Multi\\mpprefs.dat", L"Data\\Multi\\wmpprefs.bak", L"mpprefs.dat"},
};

} // namespace installers
