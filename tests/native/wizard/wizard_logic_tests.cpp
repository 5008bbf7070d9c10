// The wizard's pure decisions: the video chip's maker, found in the list that the Windows version's
// name picks, and the kit archive's name. (The routes are walked through the real pages by the GUI tests.)
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/text.h"
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

// Device instances two levels below a list key, in the order given.
struct FakeRegistry : RegistryReader {
    std::map<std::wstring, std::vector<std::wstring>> subkeys;
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> Subkeys(const std::wstring &key) override { return subkeys[key]; }
    std::wstring Text(const std::wstring &key, const std::wstring &value) override {
        return values[key + value];
    }
};

// The version's name, lower-cased as the checks pass it on, picks the list: only Windows 2000 and XP
// read the control set's. (Nothing reads the name but for "xp" and "2000", so the 98 releases' names
// are left out; the 95/98/ME family repeats its version in the high half of the build number.)
// Instances are "device|instance|class|maker" ("" is no value).
TEST(SystemChecks, TheVersionPicksThePciListWhoseLastInstanceWithADisplayClassGivesTheMakerAsStored) {
    auto win9x = [](std::uint32_t minor, std::uint32_t build) {
        return VersionRecord{1, 4, minor, (4u << 24) | (minor << 16) | build};
    };
    auto nt = [](std::uint32_t major, std::uint32_t minor) { return VersionRecord{2, major, minor, 2600}; };
    const std::wstring controlSet = L"SYSTEM\\CurrentControlSet\\Enum\\PCI", other = L"Enum\\PCI";
    const struct {
        VersionRecord version;
        const std::wstring &list;
        std::vector<std::wstring> instances;
        std::wstring maker;
    } cases[] = {
        {nt(5, 1), controlSet, {L"V86|1|System|Intel", L"V10|1|Display|nVidia", L"V12|1|MEDIA|X"}, L"nVidia"},
        {nt(5, 0), controlSet, {L"V121A|1|DISPLAY|3Dfx"}, L"3Dfx"},
        {win9x(10, 2222), other, {L"V121A|1|Display adapters|3Dfx"}, L"3Dfx"},
        {win9x(0, 950), other, {L"V1|A|Monitor|Sony", L"V2|A|Sound|Creative", L"V3|A||X"}, L""},
        {{}, other, {L"V10DE|1|display|First", L"V10DE|2|Display|Second"}, L"Second"}, // asking failed
        {nt(5, 2), controlSet, {L"V10DE|1|Display|NVIDIA", L"V1002|1|Display|"}, L""}, // the last has no Mfg
        {nt(5, 1), other, {L"D|I|Display|M"}, L""},
        {nt(4, 0), controlSet, {L"D|I|Display|M"}, L""},
        {nt(6, 0), controlSet, {L"D|I|Display|M"}, L""},
        {win9x(10, 1998), controlSet, {L"D|I|Display|M"}, L""},
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
        const std::wstring version = mend::LowerAscii(WinVersionName(c.version));
        EXPECT_EQ(FindVideoMaker(version, registry), c.maker) << version << " " << c.instances[0];
    }
}
