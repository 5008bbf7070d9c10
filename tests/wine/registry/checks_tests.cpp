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
#include "wizard/video_maker_win.h"

using namespace regtest;
using namespace wintest;
using namespace std::string_literals;

namespace {

const std::string kNtList = "SYSTEM\\CurrentControlSet\\Enum\\PCI";
const std::string k9xList = "Enum\\PCI";
// Wine reads a program's Windows version from here when the program starts.
const std::string kProbeSettings = "Software\\Wine\\AppDefaults\\winver_probe.exe";

// Device keys that the tests add, named to sort after any device Wine lists itself, so that the
// last display adapter enumerated is always one of the test's.
const std::string kNvidia = "VEN_FFFF&DEV_0001&MENDTEST";
const std::string kSecondAdapter = "VEN_FFFF&DEV_0002&MENDTEST";
const std::string kSound = "VEN_FFFF&DEV_0003&MENDTEST";

void AddDevice(const std::string &list, const std::string &device, const std::string &cls,
               const std::string *mfg) {
    const std::string instance = list + "\\" + device + "\\000000";
    CreateKey(HKEY_LOCAL_MACHINE, instance);
    if (!cls.empty())
        SetText(HKEY_LOCAL_MACHINE, instance, "Class", cls);
    if (mfg)
        SetText(HKEY_LOCAL_MACHINE, instance, "Mfg", *mfg);
}

// Removes the test's devices, and the 9x list's keys when the test left them empty: keys that
// held anything before stay.
void RemoveTestDevices() {
    for (const std::string &list : {kNtList, k9xList})
        for (const std::string &device : {kNvidia, kSecondAdapter, kSound})
            DeleteTree(HKEY_LOCAL_MACHINE, list + "\\" + device);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCI");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum");
}

class ChecksTest : public ::testing::Test {
  protected:
    ChecksTest() {
        RemoveTestDevices();
        DeleteTree(HKEY_CURRENT_USER, kProbeSettings);
    }
    ~ChecksTest() override {
        RemoveTestDevices();
        DeleteTree(HKEY_CURRENT_USER, kProbeSettings);
    }

    // Runs the probe as Wine's `version` setting says and gives back its three lines.
    std::vector<std::wstring> Probe(const std::string &version) {
        SetText(HKEY_CURRENT_USER, kProbeSettings, "Version", version);
        TempFolder folder(L"winver");
        const std::wstring output = folder / L"probe.txt";
        ChildProcess probe(ProgramFolder() + L"\\winver_probe.exe", L"\"" + output + L"\"", folder.Path());
        DWORD exitCode = 99;
        EXPECT_TRUE(probe.WaitForExit(60000, &exitCode)) << version;
        EXPECT_EQ(exitCode, 0u) << version;
        std::wistringstream lines(mend::WideFromUtf8(ReadFile(output)));
        std::vector<std::wstring> result;
        for (std::wstring line; std::getline(lines, line);)
            result.push_back(line);
        return result;
    }
};

} // namespace

TEST_F(ChecksTest, WineVersionSettingsGiveTheirNamesListsAndMakers) {
    const std::string ntMaker = "NT list maker", nineXMaker = "9x list maker";
    AddDevice(kNtList, kNvidia, "Display", &ntMaker);
    AddDevice(k9xList, kNvidia, "Display", &nineXMaker);
    struct Case {
        const char *setting;
        std::wstring name, list, maker;
    };
    const Case cases[] = {
        {"winxp64", L"Windows XP", L"SYSTEM\\CurrentControlSet\\Enum\\PCI", L"NT list maker"},
        {"win2k", L"Windows 2000", L"SYSTEM\\CurrentControlSet\\Enum\\PCI", L"NT list maker"},
        {"win98", L"Windows 98 SE", L"Enum\\PCI", L"9x list maker"},
        {"win7", L"", L"Enum\\PCI", L"9x list maker"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Probe(c.setting), (std::vector<std::wstring>{c.name, c.list, c.maker})) << c.setting;
    }
}

TEST_F(ChecksTest, LastDisplayAdapterOfThe9xListGivesTheMaker) {
    const std::string nvidia = "NVIDIA", ensoniq = "Ensoniq";
    AddDevice(k9xList, kNvidia, "Display", &nvidia);
    AddDevice(k9xList, kSound, "MEDIA", &ensoniq);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows 98 se"), L"NVIDIA") << "a sound device after it does not count";

    AddDevice(k9xList, kSecondAdapter, "DISPLAY", nullptr);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows 98 se"), L"") << "the last adapter has no maker";

    DeleteTree(HKEY_LOCAL_MACHINE, k9xList + "\\" + kNvidia);
    DeleteTree(HKEY_LOCAL_MACHINE, k9xList + "\\" + kSecondAdapter);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows me"), L"") << "no display adapter at all";

    AddDevice(k9xList, kNvidia, "", &nvidia);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows me"), L"") << "a device without Class";
}

TEST_F(ChecksTest, TestAdaptersFollowWinesOwnInTheNTList) {
    // Wine lists its own display adapter here; what it gives (Wine sets no maker) is the baseline.
    const std::wstring wines = mend::ReadVideoMaker(L"windows xp");
    EXPECT_EQ(mend::ReadVideoMaker(L"windows 98"), L"") << "Wine has no 9x device list";

    const std::string nvidia = "NVIDIA Corporation", ensoniq = "Ensoniq";
    AddDevice(kNtList, kNvidia, "Display", &nvidia);
    AddDevice(kNtList, kSound, "MEDIA", &ensoniq);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows xp"), L"NVIDIA Corporation");
    EXPECT_EQ(mend::ReadVideoMaker(L"windows 2000"), L"NVIDIA Corporation");

    AddDevice(kNtList, kSecondAdapter, "display", nullptr);
    EXPECT_EQ(mend::ReadVideoMaker(L"windows xp"), L"");

    RemoveTestDevices();
    EXPECT_EQ(mend::ReadVideoMaker(L"windows xp"), wines);
}
