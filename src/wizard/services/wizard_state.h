#pragma once
// The wizard's process-wide record: what the checks found and the four answers of the
// questions page. Created empty at start and never reset.
#include <cstdint>
#include <memory>
#include <string>

namespace wizard {

class FileSystemObject;

// The questions page's four boxes: 1 ticked, 0 unticked.
struct Answers {
    int16_t WinXP = 0;
    int16_t CPUspeed = 0;
    int16_t NVidia = 0;
    int16_t VideoMem = 0;
};

struct WizardState {
    std::wstring WinVersion; // lower case
    std::wstring VideoMfg;   // lower case once the checks have run; empty when none was found
    int16_t WinXP = 0;
    int16_t CPUspeed = 0;
    int16_t NVidia = 0;
    int16_t VideoMem = 0;
    std::shared_ptr<FileSystemObject> Fso;

    Answers GetAnswers() const { return {WinXP, CPUspeed, NVidia, VideoMem}; }
    void StoreAnswers(const Answers &a) {
        WinXP = a.WinXP;
        CPUspeed = a.CPUspeed;
        NVidia = a.NVidia;
        VideoMem = a.VideoMem;
    }
};

// The questions page ticks these two boxes when it first loads, from what the checks found.
bool PreTickWinXP(const WizardState &state);
bool PreTickNVidia(const WizardState &state);

} // namespace wizard
