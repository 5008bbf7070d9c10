// Stands in for the game programs and for explorer.exe in a test game folder: it records that it
// was started, under which name and with which arguments, by appending one line
// "<program file name>|<arguments>" to "launches.txt" in its current directory, and ends.
#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    char path[MAX_PATH];
    std::string name(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    std::ofstream log("launches.txt", std::ios::app | std::ios::binary);
    log << name.substr(name.find_last_of('\\') + 1) << "|" << arguments << "\r\n";
    return log.flush() ? 0 : 1;
}
