#include <windows.h>

#include <cstring>

#include "wizard/services/win_version.h"

namespace wizard {

std::wstring GetWinVersion() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = 148;
    std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
    // A failed call leaves the record zero, which names itself "Unable To get Windows Version".
    GetVersionExA(&info);
    return WinVersionName({info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber});
}

} // namespace wizard
