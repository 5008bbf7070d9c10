#include "support/process.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

namespace wintest {

DWORD Patience(DWORD ms) {
    static const DWORD scale = [] {
        wchar_t text[16] = L"";
        GetEnvironmentVariableW(L"MENDPACK_TIME_SCALE", text, 16);
        return std::max(1ul, std::wcstoul(text, nullptr, 10));
    }();
    return ms == INFINITE ? ms : ms * scale;
}

ChildProcess::ChildProcess(const std::wstring &program, const std::wstring &arguments,
                           const std::wstring &workingFolder) {
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &si, &pi))
        throw std::runtime_error("CreateProcess failed: " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    process_.Reset(pi.hProcess);
    pid_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (!WaitForExit(0)) {
        TerminateProcess(process_.Get(), 1);
        WaitForExit(5000);
    }
}

bool ChildProcess::WaitForExit(DWORD ms, DWORD *exitCode) {
    if (WaitForSingleObject(process_.Get(), Patience(ms)) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process_.Get(), exitCode);
    return true;
}

} // namespace wintest
