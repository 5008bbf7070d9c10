#include <gtest/gtest.h>

#include "wizard/win_version.h"

using mend::VersionRecord;
using mend::WinVersionName;

namespace {

// The 95/98/ME family repeats major and minor version in the high half of the build number.
VersionRecord Win9x(std::uint32_t minor, std::uint32_t build) {
    return {1, 4, minor, (4u << 24) | (minor << 16) | build};
}
VersionRecord NT(std::uint32_t major, std::uint32_t minor) {
    return {2, major, minor, 2600};
}

} // namespace

TEST(WinVersion, NinetyEightReleasesByBuild) {
    EXPECT_EQ(WinVersionName(Win9x(10, 1997)), L"");
    EXPECT_EQ(WinVersionName(Win9x(10, 1998)), L"Windows 98");
    EXPECT_EQ(WinVersionName(Win9x(10, 1999)), L"Windows 98 SP1");
    EXPECT_EQ(WinVersionName(Win9x(10, 2000)), L"Windows 98 SP1");
    EXPECT_EQ(WinVersionName(Win9x(10, 2182)), L"Windows 98 SP1");
    EXPECT_EQ(WinVersionName(Win9x(10, 2183)), L"Windows 98 SE");
    EXPECT_EQ(WinVersionName(Win9x(10, 2222)), L"Windows 98 SE");
    EXPECT_EQ(WinVersionName(Win9x(10, 0xFFFF)), L"Windows 98 SE");
}

TEST(WinVersion, OnlyTheLowHalfOfTheBuildCounts) {
    // 0x040A07CE: 4.10 in the high half, 1998 in the low half.
    EXPECT_EQ(WinVersionName({1, 4, 10, 0x040A07CEu}), L"Windows 98");
    EXPECT_EQ(WinVersionName({1, 4, 10, 1998}), L"Windows 98");
    EXPECT_EQ(WinVersionName({1, 4, 10, 0xFFFF0000u | 1997}), L"");
}

TEST(WinVersion, EveryOtherMinorOfThe9xFamilyIsME) {
    EXPECT_EQ(WinVersionName(Win9x(0, 950)), L"Windows ME"); // Windows 95
    EXPECT_EQ(WinVersionName(Win9x(90, 3000)), L"Windows ME");
    EXPECT_EQ(WinVersionName(Win9x(90, 1998)), L"Windows ME");
}

TEST(WinVersion, NTFamilyByMajorAndMinor) {
    EXPECT_EQ(WinVersionName(NT(3, 51)), L"Windows NT 3.51");
    EXPECT_EQ(WinVersionName(NT(4, 0)), L"Windows NT 4.0");
    EXPECT_EQ(WinVersionName(NT(5, 0)), L"Windows 2000");
    EXPECT_EQ(WinVersionName(NT(5, 1)), L"Windows XP");
    EXPECT_EQ(WinVersionName(NT(5, 2)), L"Windows XP");
    EXPECT_EQ(WinVersionName(NT(6, 0)), L"");
    EXPECT_EQ(WinVersionName(NT(6, 1)), L"");
    EXPECT_EQ(WinVersionName(NT(10, 0)), L"");
}

TEST(WinVersion, UnknownPlatformOrFailedCallCannotBeNamed) {
    EXPECT_EQ(WinVersionName({}), L"Unable To get Windows Version");
    EXPECT_EQ(WinVersionName({0, 5, 1, 2600}), L"Unable To get Windows Version"); // Win32s
    EXPECT_EQ(WinVersionName({3, 5, 1, 2600}), L"Unable To get Windows Version"); // CE
}
