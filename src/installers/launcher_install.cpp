#include "common/text.h"
#include "installers/install_work.h"
#include "installers/player_files.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"
#include "wizard/services/kit_archive.h"
#include "wizard/services/shell.h"

namespace installers {

void InstallLauncher(cUnzip &reader, const Messenger &message) {
    const std::wstring archive = wizard::FindKitArchive();
    const std::wstring folder = wizard::GameFolder();
    const std::vector<std::wstring> members = {L"Nightjar.exe", L"Nightjar.htm"};
    const wizard::FileSystemObject fso;
    KeepPlayerFiles(fso, archive, members);
    wizard::ExtractMembers(reader, archive, folder, members);

    // A shortcut to a launcher that is not there would fail only when the player uses it.
    if (!fso.FileExists(L"Nightjar.exe")) {
        message(L"Error -- Nightjar file not found");
        return;
    }
    wizard::ShellObject shell;
    wizard::Shortcut shortcut =
        shell.CreateShortcut(mend::JoinPath(shell.SpecialFolders(L"Desktop"), L"Nightjar.lnk"));
    shortcut.TargetPath = mend::JoinPath(folder, L"Nightjar.EXE");
    shortcut.WindowStyle = 1;
    shortcut.Description = L"Nightjar";
    // The launcher names the game's files relative to its current directory.
    shortcut.WorkingDirectory = folder;
    shortcut.Save();
    message(L"Nightjar.exe installed, shortcut to desktop created");
}

} // namespace installers
