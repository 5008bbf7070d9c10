// The version and video-maker checks on Wine's real system: Wine pretends to be the Windows
// version that its per-program setting names, and the PCI device lists are real registry keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <vector>

#include "common/text.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "test_keys.h"

using namespace regtest;
using namespace wintest;

namespace {

const std::string kNtList = "SYSTEM\\CurrentControlSet\\Enum\\PCI", k9xList = "Enum\\PCI";
// Wine reads a program's Windows version from here when the program starts.
const std::string kProbeSettings = "Software\\Wine\\AppDefaults\\winver_probe.exe";
// Named to sort after any device Wine lists itself, so that the last display adapter enumerated
// is always one of the test's.
const std::string kAdapter = "VEN_FFFF&DEV_0001&MENDTEST", kSound = "VEN_FFFF&DEV_0003&MENDTEST";

// Removes the test's devices, and the 9x list's keys when the test left them empty: keys that
// held anything before stay.
void RemoveTestDevices() {
    for (const std::string &list : {kNtList, k9xList})
        for (const std::string &device : {kAdapter, kSound})
            DeleteTree(HKEY_LOCAL_MACHINE, list + "\\" + device);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCI");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum");
    DeleteTree(HKEY_CURRENT_USER, kProbeSettings);
}

// Runs the probe as Wine's version setting says and gives back its three lines: the version
// name, the PCI list key and the maker found there.
std::vector<std::wstring> Probe(const std::string &version) {
    SetText(HKEY_CURRENT_USER, kProbeSettings, "Version", version);
    TempFolder folder(L"winver");
    ChildProcess probe(ProgramFolder() + L"\\winver_probe.exe", L"\"" + (folder / L"probe.txt") + L"\"",
                       folder.Path());
    DWORD exitCode = 99;
    EXPECT_TRUE(probe.WaitForExit(60000, &exitCode) && exitCode == 0) << version;
    std::wistringstream lines(mend::WideFromUtf8(ReadFile(folder / L"probe.txt")));
    std::vector<std::wstring> result;
    for (std::wstring line; std::getline(lines, line);)
        result.push_back(line);
    return result;
}

} // namespace

TEST(Checks, WineVersionSettingsGiveTheirNamesListsAndMakers) {
    RemoveTestDevices();
    for (const auto &[list, maker] :
         {std::pair{kNtList, "NT list maker"}, std::pair{k9xList, "9x list maker"}}) {
        SetText(HKEY_LOCAL_MACHINE, list + "\\" + kAdapter + "\\000000", "Class", "Display");
        SetText(HKEY_LOCAL_MACHINE, list + "\\" + kAdapter + "\\000000", "Mfg", maker);
        // A sound device enumerated after the adapter does not count.
        SetText(HKEY_LOCAL_MACHINE, list + "\\" + kSound + "\\000000", "Class", "MEDIA");
        SetText(HKEY_LOCAL_MACHINE, list + "\\" + kSound + "\\000000", "Mfg", "Ensoniq");
    }
    const struct {
        const char *setting;
        std::vector<std::wstring> found;
    } cases[] = {
        {"winxp64", {L"Windows XP", L"SYSTEM\\CurrentControlSet\\Enum\\PCI", L"NT list maker"}},
        {"win2k", {L"Windows 2000", L"SYSTEM\\CurrentControlSet\\Enum\\PCI", L"NT list maker"}},
        {"win98", {L"Windows 98 SE", L"Enum\\PCI", L"9x list maker"}},
        {"win7", {L"", L"Enum\\PCI", L"9x list maker"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Probe(c.setting), c.found) << c.setting;
    RemoveTestDevices();
}
