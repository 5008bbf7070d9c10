// The version check's one decision that the Windows tests cannot make: which PCI list the video check
// reads. (The maker's rules are rows of the Windows installers test, the routes the GUI walks.)
#include <gtest/gtest.h>

#include "common/text.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/win_version.h"

// Only Windows 2000 and XP read the control set's list; NT 4.0, Vista and later, 98, ME and a failed
// call do not. The checks pass the version's name on lower-cased, and nothing reads it but for "xp"
// and "2000", so the 98 releases' names are not checked.
TEST(SystemChecks, OnlyWindows2000AndXPReadTheControlSetsPciList) {
    const std::pair<const wchar_t *, std::vector<wizard::VersionRecord>> rows[] = {
        {L"SYSTEM\\CurrentControlSet\\Enum\\PCI", {{2, 5, 0, 2195}, {2, 5, 1, 2600}, {2, 5, 2, 3790}}},
        {L"Enum\\PCI", {{2, 4, 0, 1381}, {2, 6, 0, 6000}, {1, 4, 10, 2222}, {1, 4, 90, 3000}, {}}},
    };
    for (const auto &[list, versions] : rows)
        for (const wizard::VersionRecord &v : versions)
            EXPECT_EQ(wizard::PciListKey(mend::LowerAscii(wizard::WinVersionName(v))), list)
                << v.platformId << " " << v.majorVersion << "." << v.minorVersion << "." << v.buildNumber;
}
