#include "wizard/services/win_version.h"

namespace wizard {

namespace {

constexpr std::uint32_t kPlatformWindows = 1; // 95, 98 and ME
constexpr std::uint32_t kPlatformNT = 2;

std::wstring Windows9xName(const VersionRecord &version) {
    // Windows 95 (minor 0) falls here too: the wizard only tells the 98 releases apart.
    if (version.minorVersion != 10)
        return L"Windows ME";
    // The high half of the build number repeats the major and minor version on this family.
    std::uint32_t build = version.buildNumber & 0xFFFF;
    if (build < 1998)
        return L"";
    if (build == 1998)
        return L"Windows 98";
    if (build <= 2182)
        return L"Windows 98 SP1";
    return L"Windows 98 SE";
}

std::wstring WindowsNTName(const VersionRecord &version) {
    switch (version.majorVersion) {
    case 3:
        return L"Windows NT 3.51";
    case 4:
        return L"Windows NT 4.0";
    case 5:
        return version.minorVersion == 0 ? L"Windows 2000" : L"Windows XP";
    default:
        return L""; // later versions are not named, so the XP fixes are not suggested
    }
}

} // namespace

std::wstring WinVersionName(const VersionRecord &version) {
    switch (version.platformId) {
    case kPlatformWindows:
        return Windows9xName(version);
    case kPlatformNT:
        return WindowsNTName(version);
    default:
        return L"Unable To get Windows Version";
    }
}

} // namespace wizard
