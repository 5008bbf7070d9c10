#include "wizard/services/game_paths.h"
#include "installers/install_work.h"
#include "wizard/services/kit_archive.h"
#include "wizard/services/file_system.h"

namespace installers {

void InstallTurbo(cUnzip &reader, const Messenger &message) {
    wizard::ExtractMembers(reader, wizard::kKitArchive, wizard::GameFolder(), {L"Turbo.EXE", L"Turbo.HLP"});
    // The tool is the point of the page; its help file alone is no install.
    message(wizard::FileSystemObject().FileExists(L"Turbo.EXE") ? L"Turbo installed"
                                                                : L"Error -- Turbo file not found");
}

} // namespace installers
