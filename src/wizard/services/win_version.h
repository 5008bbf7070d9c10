#pragma once
// The name the wizard gives the running Windows version.
#include <cstdint>
#include <string>

namespace wizard {

// The fields of the system's version record that decide the name; all 0 when asking failed.
struct VersionRecord {
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
};

// "Windows 98", "Windows 98 SP1", "Windows 98 SE", "Windows ME", "Windows NT 3.51",
// "Windows NT 4.0", "Windows 2000", "Windows XP", "Unable To get Windows Version" or empty.
std::wstring WinVersionName(const VersionRecord &version);

// The name of the Windows this process runs on (Windows builds only).
std::wstring GetWinVersion();

} // namespace wizard
