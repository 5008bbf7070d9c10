#pragma once
// Identifiers shared by the dialog template and the code. The values are the ones the launcher
// has always had, so that anything keyed to them (the tests, translations) stays valid.
#define IDD_LAUNCHER 101

#define IDC_FIX_SOUND 1003
#define IDC_SINGLE_PLAYER 1007
#define IDC_MMP 1008
#define IDC_FREEZE_PREFS 1009
#define IDC_LAUNCH_GAME 1010
#define IDC_HELP_PAGE 1011

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
