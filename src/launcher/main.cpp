// Nightjar: the sound-fix launcher that players start instead of the game.
#include <windows.h>

#include "launcher/launcher_dialog.h"
#include "launcher/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // 0 once the dialog has been closed, -1 when it could not be created.
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LAUNCHER), nullptr, LauncherDialogProc, 0));
}
