// Stands in for the game programs and for explorer.exe in a test game folder: it records that it
// was started, under which name and with which arguments, by appending one line
// "<program file name>|<arguments>" to "launches.txt" in its current directory, and ends.
// Started as "/hold FILE", it is the running game holding a file: FILE stays open, shared with
// nobody, until the process is ended.
#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    if (std::strncmp(arguments, "/hold ", 6) == 0) {
        if (CreateFileA(arguments + 6, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr) ==
            INVALID_HANDLE_VALUE)
            return 1;
        Sleep(INFINITE);
    }
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of('\\') + 1);
    std::string line = name + "|" + arguments + "\r\n";

    HANDLE log = CreateFileA("launches.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return ok ? 0 : 1;
}
