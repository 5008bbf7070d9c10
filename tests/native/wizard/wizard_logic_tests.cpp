// The wizard's pure decisions: the Windows version's name, the video chip's maker and the kit
// archive's name. (The routes are walked through the real pages by the GUI tests.)
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "wizard/services/kit_archive.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/win_version.h"

using namespace wizard;

// The platform's pattern search also matches short (8.3) names, so the long name is checked again.
TEST(KitArchiveName, MatchesMendStarZipOnTheLongNameInAnyCase) {
    for (const wchar_t *name : {L"MendpackFiles.zip", L"mendpack.ZIP", L"Mend.zip", L"MEND kit v2.Zip"})
        EXPECT_TRUE(MatchesKitPattern(name)) << name;
    for (const wchar_t *name :
         {L"Mendpack.zipx", L"Mendpack.zip.bak", L"MyMend.zip", L"Men.zip", L"Mend.zi", L""})
        EXPECT_FALSE(MatchesKitPattern(name)) << name;
}

// Each row's edges. The 95/98/ME family repeats major and minor version in the high half of the
// build number, which does not count.
TEST(WinVersion, EveryRowOfTheTable) {
    auto win9x = [](std::uint32_t minor, std::uint32_t build) {
        return VersionRecord{1, 4, minor, (4u << 24) | (minor << 16) | build};
    };
    auto nt = [](std::uint32_t major, std::uint32_t minor) { return VersionRecord{2, major, minor, 2600}; };
    const std::pair<const wchar_t *, std::vector<VersionRecord>> rows[] = {
        {L"", {win9x(10, 1997), nt(6, 0)}},
        {L"Windows 98", {win9x(10, 1998)}},
        {L"Windows 98 SP1", {win9x(10, 1999), win9x(10, 2182)}},
        {L"Windows 98 SE", {win9x(10, 2183)}},
        {L"Windows ME", {win9x(0, 950), win9x(90, 3000)}},
        {L"Windows NT 3.51", {nt(3, 51)}},
        {L"Windows NT 4.0", {nt(4, 0)}},
        {L"Windows 2000", {nt(5, 0)}},
        {L"Windows XP", {nt(5, 1), nt(5, 2)}},
        {L"Unable To get Windows Version", {{}, {0, 5, 1, 2600}}}, // the call failed, or no known platform
    };
    for (const auto &[name, versions] : rows)
        for (const VersionRecord &v : versions)
            EXPECT_EQ(WinVersionName(v), name)
                << v.platformId << " " << v.majorVersion << "." << v.minorVersion << "." << v.buildNumber;
}

// Device instances two levels below a list key, in the order given.
struct FakeRegistry : RegistryReader {
    std::map<std::wstring, std::vector<std::wstring>> subkeys;
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> Subkeys(const std::wstring &key) override { return subkeys[key]; }
    std::wstring Text(const std::wstring &key, const std::wstring &value) override {
        return values[key + value];
    }
};

// Only Windows 2000 and XP read the control set's list (the name arrives lower-cased).
// Instances are "device|instance|class|maker" ("" is no value).
TEST(VideoMaker, TheLastInstanceWithADisplayClassInTheVersionsListGivesTheMakerAsStored) {
    const std::wstring nt = L"SYSTEM\\CurrentControlSet\\Enum\\PCI", other = L"Enum\\PCI";
    const struct {
        const wchar_t *version;
        const std::wstring &list;
        std::vector<std::wstring> instances;
        std::wstring maker;
    } cases[] = {
        {L"windows xp", nt, {L"V86|1|System|Intel", L"V10|1|Display|nVidia", L"V12|1|MEDIA|X"}, L"nVidia"},
        {L"windows 2000", nt, {L"V121A|1|DISPLAY|3Dfx"}, L"3Dfx"},
        {L"windows 98 se", other, {L"V121A|1|Display adapters|3Dfx"}, L"3Dfx"},
        {L"windows me", other, {L"V1|A|Monitor|Sony", L"V2|A|Sound|Creative", L"V3|A||X"}, L""},
        {L"", other, {L"V10DE|1|display|First", L"V10DE|2|Display|Second"}, L"Second"},
        {L"windows xp", nt, {L"V10DE|1|Display|NVIDIA", L"V1002|1|Display|"}, L""}, // the last has no Mfg
        {L"windows xp", other, {L"D|I|Display|M"}, L""},
        {L"windows nt 4.0", nt, {L"D|I|Display|M"}, L""},
    };
    for (const auto &c : cases) {
        FakeRegistry registry;
        for (const std::wstring &entry : c.instances) {
            std::wistringstream fields(entry);
            std::wstring device, instance, kind, maker;
            std::getline(std::getline(std::getline(fields, device, L'|'), instance, L'|'), kind, L'|');
            std::getline(fields, maker);
            std::vector<std::wstring> &devices = registry.subkeys[c.list];
            if (devices.empty() || devices.back() != device)
                devices.push_back(device);
            const std::wstring key = c.list + L"\\" + device;
            registry.subkeys[key].push_back(instance);
            registry.values[key + L"\\" + instance + L"Class"] = kind;
            registry.values[key + L"\\" + instance + L"Mfg"] = maker;
        }
        EXPECT_EQ(FindVideoMaker(c.version, registry), c.maker) << c.version << " " << c.instances[0];
    }
}
