#include "launcher/launcher_dialog.h"

#include "launcher/game_files.h"
#include "launcher/launcher_files.h"
#include "launcher/resource.h"

namespace nightjar {

namespace {

void Tell(HWND dialog, const char *text, const char *caption) {
    MessageBoxA(dialog, text, caption, MB_OK);
}

bool IsTicked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetTick(HWND dialog, int id, bool ticked) {
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
}

// The preference file of the option that is selected now.
const PreferenceFile &SelectedPreferences(HWND dialog) {
    return IsTicked(dialog, IDC_SINGLE_PLAYER) ? kSinglePlayerPrefs : kMultiplayerPrefs;
}

// A missing file stops the handler that asked; the caller returns at once on false.
bool RequirePresent(HWND dialog, const PreferenceFile &file) {
    if (FileExists(file.path))
        return true;
    Tell(dialog, file.missingMessage, kCaptionFileNotFound);
    return false;
}

// A failed attribute change is reported and then ignored: the steps after it still run.
void ChangeFrozen(HWND dialog, const PreferenceFile &file, bool frozen) {
    if (!SetFrozen(file.path, frozen))
        Tell(dialog, kAttributeFailedMessage, kCaptionFileNotFound);
}

void ShowFreezeStateOf(HWND dialog, const PreferenceFile &file) {
    if (!RequirePresent(dialog, file))
        return;
    SetTick(dialog, IDC_FREEZE_PREFS, IsFrozen(file.path));
}

void OnInitDialog(HWND dialog) {
    SetTick(dialog, IDC_MMP, true);
    ShowFreezeStateOf(dialog, kMultiplayerPrefs);
}

void ApplyFreezeBox(HWND dialog, const PreferenceFile &file) {
    bool wanted = IsTicked(dialog, IDC_FREEZE_PREFS);
    if (wanted && IsFrozen(file.path))
        return;
    ChangeFrozen(dialog, file, wanted);
}

void LaunchGameIfTicked(HWND dialog) {
    if (!IsTicked(dialog, IDC_LAUNCH_GAME))
        return;
    WinExec(IsTicked(dialog, IDC_MMP) ? kMultiplayerGame : kSinglePlayerGame, SW_SHOWNORMAL);
}

void OnFixSound(HWND dialog) {
    const PreferenceFile &file = SelectedPreferences(dialog);
    // The game cannot take the byte while the file is frozen, so thaw it first.
    ChangeFrozen(dialog, file, false);
    if (!RequirePresent(dialog, file))
        return;
    if (!WriteSoundByte(file.path))
        Tell(dialog, kStreamFailedMessage, kCaptionError);

    const PreferenceFile &frozenFile = IsTicked(dialog, IDC_MMP) ? kMultiplayerPrefs : kSinglePlayerPrefs;
    if (!RequirePresent(dialog, frozenFile))
        return;
    ApplyFreezeBox(dialog, frozenFile);
    LaunchGameIfTicked(dialog);
}

void OnHelp(HWND dialog) {
    if (!FileExists(kHelpPage)) {
        Tell(dialog, kHelpMissingMessage, kCaptionFileNotFound);
        return;
    }
    WinExec(kHelpCommand, SW_SHOWNORMAL);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_SINGLE_PLAYER:
        ShowFreezeStateOf(dialog, kSinglePlayerPrefs);
        break;
    case IDC_MMP:
        ShowFreezeStateOf(dialog, kMultiplayerPrefs);
        break;
    case IDC_FIX_SOUND:
        OnFixSound(dialog);
        break;
    case IDC_HELP_PAGE:
        OnHelp(dialog);
        break;
    default:
        // IDOK and IDCANCEL (Enter and Esc) land here too: only closing the window ends the
        // launcher, so a stray key press never skips the fix.
        break;
    }
}

} // namespace

} // namespace nightjar

INT_PTR CALLBACK LauncherDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        nightjar::OnInitDialog(dialog);
        return TRUE; // the dialog manager puts the focus on "Fix GF3D Sound"
    case WM_COMMAND:
        nightjar::OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
