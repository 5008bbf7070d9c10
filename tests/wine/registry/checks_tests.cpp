// The version check on Wine's real system: Wine pretends to be the Windows version that its
// per-program setting names, read when the program starts.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include "support/process.h"
#include "support/temp_folder.h"

using namespace wintest;

TEST(Checks, WineVersionSettingsGiveTheirNamesAndPciLists) {
    const wchar_t *settings = L"Software\\Wine\\AppDefaults\\winver_probe.exe";
    const struct {
        const wchar_t *setting;
        const char *found;
    } cases[] = {
        {L"winxp64", "Windows XP|SYSTEM\\CurrentControlSet\\Enum\\PCI"},
        {L"win2k", "Windows 2000|SYSTEM\\CurrentControlSet\\Enum\\PCI"},
        {L"win98", "Windows 98 SE|Enum\\PCI"},
        {L"win7", "|Enum\\PCI"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, settings, L"Version", REG_SZ, c.setting,
                              static_cast<DWORD>((wcslen(c.setting) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        TempFolder folder(L"winver");
        ChildProcess probe(ProgramFolder() + L"\\winver_probe.exe", L"", folder.Path());
        DWORD exitCode = 99;
        EXPECT_TRUE(probe.WaitForExit(60000, &exitCode) && exitCode == 0);
        EXPECT_EQ(ReadFile(folder / L"probe.txt"), c.found);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, settings);
}
