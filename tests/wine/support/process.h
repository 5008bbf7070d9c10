#pragma once
// Starts a program of the build for a test and makes sure it is gone when the test ends; waits
// that grow with the session's patience.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <string>

#include "win32/handle.h"

namespace wintest {

// `ms` stretched by the session's MENDPACK_TIME_SCALE: under emulated 32-bit Wine a program
// takes a minute or more to start, so every wait of a test grows by the same factor.
inline DWORD Patience(DWORD ms) {
    static const DWORD scale = [] {
        wchar_t text[16] = L"";
        GetEnvironmentVariableW(L"MENDPACK_TIME_SCALE", text, 16);
        return std::max(1ul, std::wcstoul(text, nullptr, 10));
    }();
    return ms == INFINITE ? ms : ms * scale;
}

// Polls `condition` every 20 ms until it holds or `ms` (stretched) have passed.
template <typename F> bool WaitUntil(F condition, DWORD ms = 15000) {
    const DWORD limit = Patience(ms);
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if (condition())
            return true;
        if (GetTickCount() - start > limit)
            return false;
    }
}

class ChildProcess {
  public:
    // Starts `program` (a path) with `arguments` in folder `workingFolder`.
    ChildProcess(const std::wstring &program, const std::wstring &arguments,
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
    }
    // Kills the process if it still runs (on one that has ended, TerminateProcess merely fails).
    ~ChildProcess() {
        TerminateProcess(process_.Get(), 1);
        WaitForExit(5000);
    }

    DWORD Id() const { return GetProcessId(process_.Get()); }
    // Waits up to `ms` (stretched) for the process to end; true and its exit code when it did.
    bool WaitForExit(DWORD ms, DWORD *exitCode = nullptr) {
        if (WaitForSingleObject(process_.Get(), Patience(ms)) != WAIT_OBJECT_0)
            return false;
        if (exitCode)
            GetExitCodeProcess(process_.Get(), exitCode);
        return true;
    }

  private:
    win32::Handle process_;
};

} // namespace wintest
