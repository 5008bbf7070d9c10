// Stands in for the game's 1078 patch installer in the journey test: like the real one, it leaves
// "1078patch Readme .txt" in the game folder (its current directory), and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE readme = CreateFileA("1078patch Readme .txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (readme == INVALID_HANDLE_VALUE)
        return 1;
    const char text[] = "GF3D 1078 patch (stand-in): installed.\r\n";
    DWORD written = 0;
    BOOL ok = WriteFile(readme, text, sizeof text - 1, &written, nullptr);
    CloseHandle(readme);
    return ok ? 0 : 1;
}
