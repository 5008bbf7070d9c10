#pragma once
#include <windows.h>

// The dialog procedure of IDD_LAUNCHER. Everything the launcher does happens in here, one
// message at a time; its only state is what its controls show.
INT_PTR CALLBACK LauncherDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
