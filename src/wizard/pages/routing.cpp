#include "wizard/pages/routing.h"

namespace wizard {

namespace {

// Shared tail of the routes: an emulator page when there is enough video memory (the nVidia
// answer picks which), then the presets page.
PageId EmulatorOrPresets(const Answers &a) {
    if (a.VideoMem & a.NVidia)
        return PageId::frmStep5;
    if (a.VideoMem)
        return PageId::frmStep6;
    return PageId::frmStep8;
}

PageId TurboOrLater(const Answers &a) {
    return a.CPUspeed ? PageId::frmStep4 : EmulatorOrPresets(a);
}

} // namespace

PageId NextPage(PageId page, const Answers &a) {
    switch (page) {
    case PageId::frmStep2:
        return a.WinXP ? PageId::frmStep3 : TurboOrLater(a);
    case PageId::frmStep3:
        return TurboOrLater(a);
    case PageId::frmStep4:
        return EmulatorOrPresets(a);
    case PageId::frmStep5:
    case PageId::frmStep6:
        return PageId::frmStep8;
    case PageId::frmStep8:
        return PageId::frmStep9;
    default:
        return page;
    }
}

} // namespace wizard
