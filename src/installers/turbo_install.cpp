#include "installers/game_paths.h"
#include "installers/install_work.h"
#include "installers/kit_archive.h"
#include "installers/player_files.h"
#include "wizard/file_system.h"

namespace installers {

void InstallTurbo(cUnzip &reader, const Messenger &message) {
    const std::vector<std::wstring> members = {L"Turbo.EXE", L"Turbo.HLP"};
    const wizard::FileSystemObject fso;
    KeepPlayerFiles(fso, kKitArchive, members);
    ExtractMembers(reader, kKitArchive, GameFolder(), members);
    // The tool is the point of the page; its help file alone is no install.
    message(fso.FileExists(L"Turbo.EXE") ? L"Turbo installed" : L"Error -- Turbo file not found");
}

} // namespace installers
