#include "installers/game_paths.h"
#include "installers/install_work.h"
#include "installers/kit_archive.h"
#include "wizard/file_system.h"

namespace installers {

void InstallTurbo(cUnzip &reader, const Messenger &message) {
    ExtractMembers(reader, kKitArchive, GameFolder(), {L"Turbo.EXE", L"Turbo.HLP"});
    // The tool is the point of the page; its help file alone is no install.
    message(wizard::FileSystemObject().FileExists(L"Turbo.EXE") ? L"Turbo installed"
                                                                : L"Error -- Turbo file not found");
}

} // namespace installers
