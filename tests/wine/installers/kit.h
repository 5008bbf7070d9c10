#pragma once
// Stand-ins for the kit archive's payload (small files whose bytes tell them apart) and for the
// player's own preference files; the archives are written by the zip tests' builder.
#include <string>
#include <vector>

#include "zip_builder.h"

namespace kittest {

using ZipMember = ziptest::Member;
inline std::string MakeZip(const std::vector<ZipMember> &members) {
    return ziptest::Build(members);
}

// Every member the kit's pages take; the patch program is one that no install page wants.
inline const std::vector<ZipMember> &FullKit() {
    static const std::vector<ZipMember> kit = {
        {"Nightjar.exe", "MZ stand-in for the Nightjar launcher"},
        {"Nightjar.htm", "<html><body>Nightjar help</body></html>"},
        {"Turbo.EXE", "MZ stand-in for Turbo"},
        {"Turbo.HLP", "Turbo help file"},
        {"dgvoodoo sync glide2x.dll", "MZ dgvoodoo Glide library"},
        {"OS Glide2x.dll", "MZ GlideOS Glide library"},
        {"OpenGLid.INI", "[OpenGLid]\r\nResolution=1\r\n"},
        {"gfprefs.dat", std::string("kit preset: single player\0\x01\x02", 29)},
        {"mpprefs.dat", std::string("kit preset: multiplayer\0\x03\x04", 27)},
        {"GF3D1078.EXE", "MZ stand-in for the 1078 patch"},
    };
    return kit;
}

// The bytes of a member of FullKit by its name.
inline std::string Payload(const std::string &name) {
    for (const ZipMember &m : FullKit())
        if (m.name == name)
            return m.data;
    return {};
}

// The player's own preference files, as the game left them.
inline std::string PlayerPrefs(char which) {
    return std::string("player's own prefs ") + which + std::string("\0\x7f\xff", 3);
}

} // namespace kittest
