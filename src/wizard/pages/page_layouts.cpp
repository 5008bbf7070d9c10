#include "wizard/pages/page_layouts.h"

#include <algorithm>

namespace wizard {

namespace {

using K = ControlKind;
using F = FontKind;

constexpr const wchar_t *kStepCaption = L"GF3D Mendpack Install Wizard";

ControlLayout Label(const wchar_t *name, const wchar_t *text, int l, int t, int w, int h, int tab) {
    return {K::Label, name, text, l, t, w, h, tab, F::Georgia12};
}
ControlLayout Check(const wchar_t *name, const wchar_t *text, int l, int t, int w, int h, int tab) {
    return {K::CheckBox, name, text, l, t, w, h, tab, F::Georgia12};
}
ControlLayout Option(const wchar_t *name, const wchar_t *text, int l, int t, int w, int h, int tab) {
    return {K::OptionButton, name, text, l, t, w, h, tab, F::Georgia12};
}
ControlLayout Button(const wchar_t *name, const wchar_t *text, int left, int tab) {
    return {K::Button, name, text, left, 5000, 1095, 375, tab, F::DialogDefault};
}

// The row of buttons on the pages that offer Skip.
void AddInstallButtons(std::vector<ControlLayout> &controls) {
    controls.push_back(Button(L"Next", L"Next", 5300, 0));
    controls.push_back(Button(L"Skip", L"Skip", 4000, 1));
    controls.push_back(Button(L"Exit", L"Exit", 2700, 3));
}

PageLayout Step(PageId id, const wchar_t *name, std::vector<ControlLayout> controls,
                bool installButtons = true) {
    if (installButtons)
        AddInstallButtons(controls);
    return {id, name, kStepCaption, 6915, 5625, std::move(controls)};
}

std::vector<PageLayout> BuildPages() {
    std::vector<PageLayout> pages;
    pages.push_back(PageLayout{
        PageId::frmStart,
        L"frmStart",
        L"GF3D Mendpack Install Wizard -- Start",
        6885,
        5595,
        {
            {K::Label, L"Label1", L"Welcome to the Gale Falcon 3D Mendpack Installation Wizard", 480, 120,
             5895, 1335, 0, F::Georgia18Bold},
            Label(L"Label2",
                  L"This program will install software that will configure Gale Falcon 3D to run properly on "
                  L"newer, "
                  L"faster computers.  The \"Mendpack\" installs applications that fix sound, graphics, and "
                  L"processor "
                  L"speed issues within Gale Falcon 3D, depending on your computer's configuration.",
                  480, 1680, 5895, 1695, 1),
            Label(L"Label3",
                  L"The usual disclaimers apply -- I cannot be held responsible for any data loss or damage "
                  L"to property "
                  L"through the use of this or any included program.  Click \"Next\" to continue, or "
                  L"\"Exit\" to cancel "
                  L"the installation.",
                  480, 3600, 5895, 1095, 2),
            Button(L"NextStart", L"Next", 5300, 3),
            Button(L"ExitStart", L"Exit", 4000, 4),
        }});
    pages.push_back(Step(
        PageId::frmStep1, L"frmStep1",
        {
            Label(L"Label1",
                  L"Select a button to install or uninstall the \"GF3D Mendpack\", then click \"Next\" "
                  L"to continue. Click \"Exit\" at any time to close the install wizard.",
                  480, 360, 5655, 975, 4),
            Option(L"btnInstall", L"Start the installation process", 1320, 2280, 3855, 495, 0),
            Option(L"btnUninstall", L"Uninstall all \"Mendpack\" applications", 1320, 3000, 4695, 495, 1),
            Button(L"Next", L"Next", 5300, 2),
            Button(L"Exit", L"Exit", 4000, 3),
        },
        false));
    pages.push_back(
        Step(PageId::frmStep2, L"frmStep2",
             {
                 Label(L"Label1",
                       L"Please check all that apply to your computer.  If you are unsure of any of these "
                       L"settings, please refer to the appendix of the \"Mendpack Readme.pdf\" file.",
                       480, 360, 6015, 975, 2),
                 Check(L"chkWinXP", L"Your operating system is Windows XP", 960, 1680, 4935, 495, 3),
                 Check(L"chkCPUspeed", L"Your CPU speed is at least 1 GHz", 960, 2280, 4935, 495, 4),
                 Check(L"chkNVidia", L"Your video card chipset is made by nVidia", 960, 2880, 4935, 495, 5),
                 Check(L"chkVideoMem", L"Your video card has at least 32 MB of RAM", 960, 3480, 4935, 495, 6),
                 Button(L"Next", L"Next", 5300, 0),
                 Button(L"Exit", L"Exit", 4000, 1),
             },
             false));
    pages.push_back(
        Step(PageId::frmStep3, L"frmStep3",
             {
                 Label(L"Label1",
                       L"Windows XP can cause GF3D to lose sound.  The \"Nightjar\" program can fix this.  "
                       L"It must be run each time you run GF3D.  It will automatically start GF3D for you.",
                       600, 360, 5655, 1215, 2),
                 Label(L"Label2",
                       L"Click \"Next\" to install the sound fix program and create a shortcut to your "
                       L"desktop, click \"Skip\" to skip installing the sound fix program.",
                       600, 2040, 5655, 1215, 4),
             }));
    pages.push_back(Step(
        PageId::frmStep4, L"frmStep4",
        {
            Label(L"Label1",
                  L"PCs with CPU speeds of 1 GHz or more can cause GF3D single player to run too fast, "
                  L"or can cause unstable aircraft in MMP.  The program \"Turbo\" may correct these "
                  L"issues.  If you experience either, run turbo and set the speed to 60%.",
                  600, 360, 5655, 1455, 2),
            Label(L"Label2", L"Click \"Next\" to install Turbo, click \"Skip\" to skip installing Turbo.",
                  600, 2280, 5655, 975, 4),
        }));
    pages.push_back(
        Step(PageId::frmStep5, L"frmStep5",
             {
                 Label(L"Label1",
                       L"\"dgvoodoo\" is a Glide emulator which may allow your GF3D graphics to look better, "
                       L"and can also allow use of the transparent cockpit feature.",
                       600, 360, 5655, 1095, 2),
                 Label(L"Label3",
                       L"If you are using a 3dfx Voodoo or Banshee video card, you do not need dgvoodoo, so "
                       L"click \"Skip\" to skip installing dgvoodoo.",
                       600, 1920, 5655, 975, 5),
                 Label(L"Label2",
                       L"Click \"Next\" to install dgvoodoo, click \"Skip\" to skip installing dgvoodoo.",
                       600, 3480, 5655, 975, 4),
             }));
    pages.push_back(Step(
        PageId::frmStep6, L"frmStep6",
        {
            Label(L"Label1",
                  L"\"GlideOS\" is a Glide emulator which may allow your GF3D graphics to look better, "
                  L"and can also allow use of the transparent cockpit feature.",
                  600, 360, 5655, 1095, 2),
            Label(L"Label3",
                  L"If you are using a 3dfx Voodoo or Banshee video card, you do not need GlideOS, so "
                  L"click \"Skip\" to skip installing GlideOS.",
                  600, 1920, 5655, 975, 5),
            Label(L"Label2", L"Click \"Next\" to install GlideOS, click \"Skip\" to skip installing GlideOS.",
                  600, 3480, 5655, 975, 4),
        }));
    pages.push_back(
        Step(PageId::frmStep8, L"frmStep8",
             {
                 Label(L"Label1",
                       L"Pre-configured GF3D preference files may allow your graphics to run faster and "
                       L"smoother.  Preferences are set based upon the \"Mendpack\" programs just installed.",
                       600, 360, 5655, 1095, 2),
                 Label(L"Label3",
                       L"Pre-configured GF3D single player preferences have the \"Realism Settings\" set "
                       L"similar to NFM.  Your original preferences will be backed up and can be restored "
                       L"manually, or by uninstalling the \"Mendpack\".",
                       600, 1800, 5655, 1455, 5),
                 Label(L"Label2",
                       L"Click \"Next\" to install  pre-configured preference files, click \"Skip\" to skip "
                       L"installing pre-configured preference files.",
                       600, 3720, 5655, 975, 4),
             }));
    pages.push_back(PageLayout{
        PageId::frmStep9,
        L"frmStep9",
        L"GF3D Mendpack Install Wizard -- Finished",
        6915,
        5625,
        {
            Label(L"Label1",
                  L"The GF3D Mendpack install wizard has completed successfully.  Please run GF3D (both "
                  L"single player "
                  L"and MMP) using the Nightjar program (if you're running WinXP).",
                  600, 360, 5655, 1095, 1),
            Label(L"Label3",
                  L"If you experience problems with GF3D, please refer to the \"Mendpack Readme.pdf\" file.",
                  600, 2520, 5655, 855, 2),
            Button(L"Exit", L"Finish", 5300, 0),
        }});
    pages.push_back(PageLayout{PageId::frmUninstall,
                               L"frmUninstall",
                               L"GF3D Mendpack Install Wizard -- Uninstall",
                               6915,
                               5625,
                               {
                                   Label(L"Label1",
                                         L"This will uninstall programs and files from the \"GF3D Mendpack\" "
                                         L"and will restore your original "
                                         L"GF3D preferences, but will not uninstall GF3D or the 1078 patch.",
                                         360, 600, 5655, 1095, 2),
                                   Label(L"Label2",
                                         L"If you are sure you want to uninstall \"GF3D Mendpack\" programs "
                                         L"and files, click \"Next\".  ",
                                         360, 2520, 5655, 855, 3),
                                   Button(L"Next", L"Next", 5300, 0),
                                   Button(L"Exit", L"Exit", 4000, 1),
                               }});
    return pages;
}

const std::vector<PageLayout> &Pages() {
    static const std::vector<PageLayout> pages = BuildPages();
    return pages;
}

} // namespace

const ControlLayout *PageLayout::Find(const std::wstring &controlName) const {
    for (const auto &c : controls)
        if (controlName == c.name)
            return &c;
    return nullptr;
}

std::vector<const ControlLayout *> PageLayout::InTabOrder() const {
    std::vector<const ControlLayout *> ordered;
    for (const auto &c : controls)
        ordered.push_back(&c);
    std::sort(ordered.begin(), ordered.end(), [](auto *a, auto *b) { return a->tab < b->tab; });
    return ordered;
}

const PageLayout &LayoutOf(PageId page) {
    for (const auto &p : Pages())
        if (p.id == page)
            return p;
    return Pages().front();
}

const std::vector<PageId> &AllPages() {
    static const std::vector<PageId> ids = [] {
        std::vector<PageId> v;
        for (const auto &p : Pages())
            v.push_back(p.id);
        return v;
    }();
    return ids;
}

} // namespace wizard
