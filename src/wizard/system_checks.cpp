// What the install path finds out before it asks its questions: the Windows version, the video
// chip's maker, whether this is the game folder, and whether the 1078 patch is in.
#include <windows.h>

#include "common/text.h"
#include "installers/game_paths.h"
#include "installers/kit_archive.h"
#include "wizard/file_system.h"
#include "wizard/game_folder.h"
#include "wizard/pages.h"
#include "wizard/video_maker_win.h"
#include "wizard/win_version.h"
#include "wizard/wizard.h"

namespace wizard {

namespace {

constexpr wchar_t kNotTheGameFolder[] =
    L"Please install GF3D, or if it is installed, unzip and run the Mendpack wizard from your GaleFalcon3D folder.";
constexpr wchar_t kPatchMessage[] =
    L"Please click OK to install the GF3D 1078 patch, then continue with this wizard after 1078 completes.";
constexpr wchar_t kPatchProgram[] = L"GF3D1078.EXE";

}  // namespace

void frmStep1::GetGFSysInfo() {
    WizardState& state = wizard_.State;
    state.WinVersion = mend::LowerAscii(mend::GetWinVersion());
    GetVideoMfg();
    state.VideoMfg = mend::LowerAscii(state.VideoMfg);
    state.Fso = std::make_shared<FileSystemObject>();

    if (!state.Fso->FileExists(L"falcon.exe")) {
        wizard_.Message(kNotTheGameFolder);
        wizard_.End();
    }

    if (!state.Fso->FileExists(L"1078patch Readme .txt")) {
        m_cUnzip = std::make_unique<cUnzip>();
        installers::ExtractMembers(*m_cUnzip, installers::kKitArchive, installers::GameFolder(), {kPatchProgram});
        wizard_.Message(kPatchMessage);
        StartProgram(kPatchProgram, SW_SHOWMAXIMIZED);
    }
}

void frmStep1::GetVideoMfg() { wizard_.State.VideoMfg = mend::ReadVideoMaker(wizard_.State.WinVersion); }

}  // namespace wizard
