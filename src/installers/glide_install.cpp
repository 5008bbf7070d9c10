#include <memory>

#include "installers/install_work.h"
#include "installers/player_files.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"
#include "wizard/services/kit_archive.h"

namespace installers {

const GlideEmulator &DgVoodoo() {
    static const GlideEmulator emulator{L"dgvoodoo sync glide2x.dll",
                                        {L"dgvoodoo sync glide2x.dll"},
                                        L"dgvoodoo installed",
                                        L"Error -- dgvoodoo file not found"};
    return emulator;
}

const GlideEmulator &GlideOS() {
    static const GlideEmulator emulator{L"OS Glide2x.dll",
                                        {L"OS Glide2x.dll", L"OpenGLid.INI"},
                                        L"GlideOS installed",
                                        L"Error -- GlideOS file not found"};
    return emulator;
}

void InstallGlideEmulator(const GlideEmulator &emulator, wizard::WizardState &state,
                          const Messenger &message) {
    state.Fso = std::make_shared<wizard::FileSystemObject>();
    wizard::FileSystemObject &fso = *state.Fso;
    KeepPlayerFiles(fso, wizard::kKitArchive, emulator.wanted);
    {
        cUnzip reader;
        wizard::ExtractMembers(reader, wizard::kKitArchive, wizard::GameFolder(), emulator.wanted);
    }
    if (!fso.FileExists(emulator.member)) {
        message(emulator.missing);
        return;
    }
    // The game loads its Glide library by this one name; whichever emulator came last owns it.
    fso.CopyFile(emulator.member, L"glide2x.dll");
    fso.DeleteFile(emulator.member);
    message(emulator.installed);
}

} // namespace installers
