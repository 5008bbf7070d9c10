#include "installers/install_work.h"
#include "installers/player_files.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"
#include "wizard/services/kit_archive.h"

namespace installers {

void InstallTurbo(cUnzip &reader, const Messenger &message) {
    const std::vector<std::wstring> members = {L"Turbo.EXE", L"Turbo.HLP"};
    const wizard::FileSystemObject fso;
    KeepPlayerFiles(fso, wizard::kKitArchive, members);
    wizard::ExtractMembers(reader, wizard::kKitArchive, wizard::GameFolder(), members);
    // The tool is the point of the page; its help file alone is no install.
    message(fso.FileExists(L"Turbo.EXE") ? L"Turbo installed" : L"Error -- Turbo file not found");
}

} // namespace installers
