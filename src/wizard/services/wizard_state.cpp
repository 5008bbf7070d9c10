#include "wizard/services/wizard_state.h"

#include "common/text.h"

namespace wizard {

// Both fields are lower case by now, so these plain substring tests match any spelling.
bool PreTickWinXP(const WizardState &state) {
    return mend::Contains(state.WinVersion, L"xp");
}
bool PreTickNVidia(const WizardState &state) {
    return mend::Contains(state.VideoMfg, L"nvidia");
}

} // namespace wizard
