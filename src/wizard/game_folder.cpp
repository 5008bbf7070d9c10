#include "wizard/game_folder.h"

#include <windows.h>

#include "common/error.h"
#include "win32/handle.h"
#include "win32/win_error.h"

namespace wizard {

std::wstring GameFolder() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    DWORD n = GetCurrentDirectoryW(size, folder.data());
    folder.resize(n);
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

void StartProgram(const std::wstring& program, int showState) {
    std::wstring path = GameFolder() + L"\\" + program;
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        win32::RaiseLastError(mend::ProgramName(), L"start " + program);
    win32::Handle process(started.hProcess), thread(started.hThread);
}

}  // namespace wizard
