// The MinGW-w64 runtime that C++ exceptions need (winpthreads) imports GetTickCount64, which
// Windows XP lacks: a program importing it fails to load there. This object supplies the import
// slot itself, so the linker takes no import from kernel32: the real function where Windows has
// it, a 32-bit tick count extended across wrap-arounds where it does not. winpthreads only
// times waits with it, and the kit's programs and library never wait on a thread.
#include <windows.h>

namespace {

using TickCount64Fn = ULONGLONG(WINAPI *)();

TickCount64Fn g_systemTickCount64 = nullptr;
bool g_looked = false;
DWORD g_lastTicks = 0;
ULONGLONG g_wraps = 0;

ULONGLONG WINAPI TickCount64() {
    if (!g_looked) {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (kernel) {
            g_systemTickCount64 = reinterpret_cast<TickCount64Fn>(
                reinterpret_cast<void *>(GetProcAddress(kernel, "GetTickCount64")));
        }
        g_looked = true;
    }
    if (g_systemTickCount64)
        return g_systemTickCount64();
    DWORD now = GetTickCount();
    if (now < g_lastTicks)
        ++g_wraps;
    g_lastTicks = now;
    return (g_wraps << 32) | now;
}

} // namespace

extern "C" {
#if defined(_WIN64)
TickCount64Fn mendpack_GetTickCount64_slot __asm__("__imp_GetTickCount64") = TickCount64;
#else
TickCount64Fn mendpack_GetTickCount64_slot __asm__("__imp__GetTickCount64@0") = TickCount64;
#endif
}
