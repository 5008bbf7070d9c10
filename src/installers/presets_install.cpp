#include <windows.h>

#include <memory>

#include "installers/install_work.h"
#include "installers/preference_files.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"
#include "wizard/services/kit_archive.h"

namespace installers {

void InstallPresets(wizard::WizardState &state, const Messenger &message) {
    state.Fso = std::make_shared<wizard::FileSystemObject>();
    wizard::FileSystemObject &fso = *state.Fso;

    // The presets come out first: the player's files are touched only once both are at hand.
    {
        cUnzip reader;
        wizard::ExtractMembers(reader, wizard::kKitArchive, wizard::GameFolder(),
                               {kPreferenceFiles[0].preset, kPreferenceFiles[1].preset});
    }
    bool allThere = true;
    for (const PreferenceFile &p : kPreferenceFiles)
        allThere = fso.FileExists(p.preset) && allThere;
    if (!allThere) {
        for (const PreferenceFile &p : kPreferenceFiles)
            if (fso.FileExists(p.preset))
                fso.DeleteFile(p.preset);
        message(L"Error -- preference files not found");
        return;
    }

    // Whatever stops the page from here on (a file the running game holds, a full disk), the
    // presets do not stay behind in the game folder.
    struct PresetsTakenAway {
        ~PresetsTakenAway() {
            for (const PreferenceFile &p : kPreferenceFiles)
                DeleteFileW(p.preset);
        }
    } presetsTakenAway;

    // A backup, once made, is the player's own preferences from before the kit's first install;
    // a later run must not replace it with a copy of the presets it installed itself. Both
    // backups are made before either file is replaced, so that a failure replaces nothing.
    for (const PreferenceFile &p : kPreferenceFiles)
        if (fso.FileExists(p.file) && !fso.FileExists(p.backup))
            fso.CopyFile(p.file, p.backup);
    for (const PreferenceFile &p : kPreferenceFiles) {
        if (fso.FileExists(p.file))
            fso.DeleteFile(p.file, true); // the launcher may have frozen it
        fso.CopyFile(p.preset, p.file);
        fso.DeleteFile(p.preset);
    }
    message(L"Pre-configured GF preference files installed");
}

} // namespace installers
