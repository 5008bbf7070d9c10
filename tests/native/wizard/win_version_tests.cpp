#include <gtest/gtest.h>

#include "wizard/services/win_version.h"

using wizard::VersionRecord;
using wizard::WinVersionName;

namespace {

// The 95/98/ME family repeats major and minor version in the high half of the build number.
VersionRecord Win9x(std::uint32_t minor, std::uint32_t build) {
    return {1, 4, minor, (4u << 24) | (minor << 16) | build};
}
VersionRecord NT(std::uint32_t major, std::uint32_t minor) {
    return {2, major, minor, 2600};
}

} // namespace

TEST(WinVersion, EveryRowOfTheTable) {
    const struct {
        VersionRecord version;
        const wchar_t *name;
    } rows[] = {
        {Win9x(10, 1997), L""},
        {Win9x(10, 1998), L"Windows 98"},
        {{1, 4, 10, 1998}, L"Windows 98"}, // the high half of the build number does not count
        {{1, 4, 10, 0xFFFF0000u | 1997}, L""},
        {Win9x(10, 1999), L"Windows 98 SP1"},
        {Win9x(10, 2000), L"Windows 98 SP1"},
        {Win9x(10, 2182), L"Windows 98 SP1"},
        {Win9x(10, 2183), L"Windows 98 SE"},
        {Win9x(10, 2222), L"Windows 98 SE"},
        {Win9x(0, 950), L"Windows ME"}, // Windows 95
        {Win9x(90, 1998), L"Windows ME"},
        {NT(3, 51), L"Windows NT 3.51"},
        {NT(4, 0), L"Windows NT 4.0"},
        {NT(5, 0), L"Windows 2000"},
        {NT(5, 1), L"Windows XP"},
        {NT(5, 2), L"Windows XP"},
        {NT(6, 0), L""},
        {NT(10, 0), L""},
        {{}, L"Unable To get Windows Version"}, // the call failed
        {{0, 5, 1, 2600}, L"Unable To get Windows Version"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(WinVersionName(row.version), row.name)
            << row.version.platformId << " " << row.version.majorVersion << "." << row.version.minorVersion
            << "." << row.version.buildNumber;
}
