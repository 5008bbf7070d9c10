#include "wizard/services/start_program.h"

#include <windows.h>

#include "common/error.h"
#include "common/text.h"
#include "win32/handle.h"
#include "win32/win_error.h"
#include "wizard/services/game_paths.h"

namespace wizard {

void StartProgram(const std::wstring &program, int showState) {
    std::wstring path = mend::JoinPath(GameFolder(), program);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        win32::RaiseLastError(mend::ProgramName(), L"start " + program);
    win32::Handle process(started.hProcess), thread(started.hThread);
}

} // namespace wizard
