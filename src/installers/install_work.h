#pragma once
// The work that each install page and the uninstall page do to the game folder when the user
// presses Next. Each ends with exactly one message to the user; unexpected failures raise
// mend::Error and leave what was done so far in place.
#include <functional>
#include <string>
#include <vector>

#include "unzip/unzip.h"
#include "wizard/services/wizard_state.h"

namespace installers {

using Messenger = std::function<void(const std::wstring &text)>;

// The sound-fix launcher and its desktop shortcut, from the first "Mend*.zip" in the game folder.
void InstallLauncher(cUnzip &reader, const Messenger &message);

// The CPU slow-down tool.
void InstallTurbo(cUnzip &reader, const Messenger &message);

// A Glide emulator: its member is extracted and then put in place as "glide2x.dll".
struct GlideEmulator {
    std::wstring member;
    std::vector<std::wstring> wanted; // the member and the files that come with it
    std::wstring installed;
    std::wstring missing;
};
const GlideEmulator &DgVoodoo();
const GlideEmulator &GlideOS();
void InstallGlideEmulator(const GlideEmulator &emulator, wizard::WizardState &state,
                          const Messenger &message);

// The pre-configured preference files, after a backup of the player's own.
void InstallPresets(wizard::WizardState &state, const Messenger &message);

// Removes what the install pages put in place and gives the player back the backed-up preferences.
void Uninstall(wizard::WizardState &state, const Messenger &message);

} // namespace installers
