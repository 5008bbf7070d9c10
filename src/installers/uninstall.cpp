#include <memory>

#include "installers/install_work.h"
#include "installers/player_files.h"
#include "installers/preference_files.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"

namespace installers {

void Uninstall(wizard::WizardState &state, const Messenger &message) {
    state.Fso = std::make_shared<wizard::FileSystemObject>();
    wizard::FileSystemObject &fso = *state.Fso;

    RemoveKitFiles(fso);

    // Forced: the launcher may have frozen a preference file, and the backups are the player's own.
    for (const PreferenceFile &p : kPreferenceFiles) {
        if (!fso.FileExists(p.backup))
            continue;
        if (fso.FileExists(p.file))
            fso.DeleteFile(p.file, true);
        fso.CopyFile(p.backup, p.file);
        fso.DeleteFile(p.backup, true);
    }

    const std::wstring shortcut = wizard::NightjarShortcutFile();
    if (fso.FileExists(shortcut))
        fso.DeleteFile(shortcut, true);
    message(L"Mendpack programs uninstalled");
}

} // namespace installers
