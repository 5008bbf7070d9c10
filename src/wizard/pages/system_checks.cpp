// What the install path finds out before it asks its questions: the Windows version, the video
// chip's maker, whether this is the game folder, and whether the 1078 patch is in.
#include <windows.h>

#include "common/text.h"
#include "wizard/pages/pages.h"
#include "wizard/pages/wizard.h"
#include "wizard/services/file_system.h"
#include "wizard/services/game_paths.h"
#include "wizard/services/kit_archive.h"
#include "wizard/services/start_program.h"
#include "wizard/services/video_maker_win.h"
#include "wizard/services/win_version.h"

namespace wizard {

namespace {

constexpr wchar_t kNotTheGameFolder[] = L"Please install GF3D, or if it is installed, unzip and run the "
                                        L"Mendpack wizard from your GaleFalcon3D folder.";
constexpr wchar_t kPatchMessage[] =
    L"Please click OK to install the GF3D 1078 patch, then continue with this wizard after 1078 completes.";
constexpr wchar_t kPatchProgram[] = L"GF3D1078.EXE";

} // namespace

void frmStep1::GetGFSysInfo() {
    WizardState &state = wizard_.State;
    state.WinVersion = mend::LowerAscii(GetWinVersion());
    GetVideoMfg();
    state.VideoMfg = mend::LowerAscii(state.VideoMfg);
    state.Fso = std::make_shared<FileSystemObject>();

    if (!state.Fso->FileExists(L"falcon.exe")) {
        wizard_.Message(kNotTheGameFolder);
        wizard_.End();
    }

    if (!state.Fso->FileExists(L"1078patch Readme .txt")) {
        m_cUnzip = std::make_unique<cUnzip>();
        ExtractMembers(*m_cUnzip, kKitArchive, GameFolder(), {kPatchProgram});
        wizard_.Message(kPatchMessage);
        StartProgram(kPatchProgram, SW_SHOWMAXIMIZED);
    }
}

void frmStep1::GetVideoMfg() {
    wizard_.State.VideoMfg = ReadVideoMaker(wizard_.State.WinVersion);
}

} // namespace wizard
