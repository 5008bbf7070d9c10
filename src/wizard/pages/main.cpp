// mendpack: the GF3D Mendpack install wizard. It works in the game folder, its current directory.
#include <windows.h>

#include "win32/com.h"
#include "wizard/pages/wizard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::ComApartment com; // the shell link object that writes shortcuts is a COM object
    wizard::Wizard wizard;
    return wizard.Run();
}
