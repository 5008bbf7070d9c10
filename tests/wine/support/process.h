#pragma once
// Starts a program of the build for a test and makes sure it is gone when the test ends.
#include <windows.h>

#include <string>

#include "win32/handle.h"

namespace wintest {

class ChildProcess {
  public:
    // Starts `program` (a path) with `arguments` in folder `workingFolder`.
    ChildProcess(const std::wstring &program, const std::wstring &arguments,
                 const std::wstring &workingFolder);
    ~ChildProcess(); // kills the process if it still runs

    DWORD Id() const { return pid_; }
    // Waits up to `ms` (stretched) for the process to end; true and its exit code when it did.
    bool WaitForExit(DWORD ms, DWORD *exitCode = nullptr);

  private:
    win32::Handle process_;
    DWORD pid_ = 0;
};

// `ms` stretched by the session's MENDPACK_TIME_SCALE: under emulated 32-bit Wine a program
// takes a minute or more to start, so every wait of a test grows by the same factor.
DWORD Patience(DWORD ms);

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

} // namespace wintest
