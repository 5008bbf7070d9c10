// The wizard's pure decisions: routing, the page tables' tab order, the checks' rules and the kit
// archive's name.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "wizard/pages/page_layouts.h"
#include "wizard/pages/routing.h"
#include "wizard/services/kit_archive.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/win_version.h"

using namespace wizard;

// The promise to the user: each page only when its answer calls for it, in a fixed order; nVidia
// only picks the emulator when there is enough video memory.
TEST(Routing, EveryCombinationOfTheFourAnswersShowsTheFittingPagesInTheirFixedOrder) {
    for (int bits = 0; bits < 16; ++bits) {
        const Answers a{int16_t(bits & 1), int16_t(bits >> 1 & 1), int16_t(bits >> 2 & 1),
                        int16_t(bits >> 3 & 1)};
        std::vector<PageId> expected;
        if (a.WinXP)
            expected.push_back(PageId::frmStep3);
        if (a.CPUspeed)
            expected.push_back(PageId::frmStep4);
        if (a.VideoMem)
            expected.push_back(a.NVidia ? PageId::frmStep5 : PageId::frmStep6);
        expected.insert(expected.end(), {PageId::frmStep8, PageId::frmStep9});
        // The route that Next or Skip takes from the questions page.
        std::vector<PageId> route;
        for (PageId page = PageId::frmStep2; page != PageId::frmStep9 && route.size() < 10;)
            route.push_back(page = NextPage(page, a));
        EXPECT_EQ(route, expected) << "answers " << bits;
    }
}

// A control's id comes from its tab index, so a page's indexes must be unique.
TEST(PageLayouts, ControlsHaveUniqueNamesAndTabIndexesFromZeroWithoutGaps) {
    for (PageId id : AllPages()) {
        std::set<std::wstring> names;
        std::set<int> tabs;
        for (const ControlLayout &c : LayoutOf(id).controls) {
            EXPECT_TRUE(names.insert(c.name).second) << "duplicate name on a page";
            EXPECT_TRUE(tabs.insert(c.tab).second) << "duplicate tab index on a page";
        }
        EXPECT_EQ(*tabs.rbegin(), static_cast<int>(tabs.size()) - 1);
    }
}

// The platform's pattern search also matches short (8.3) names, so the long name is checked again.
TEST(KitArchiveName, MatchesMendStarZipOnTheLongNameInAnyCase) {
    for (const wchar_t *name : {L"MendpackFiles.zip", L"mendpack.ZIP", L"Mend.zip", L"MEND kit v2.Zip"})
        EXPECT_TRUE(MatchesKitPattern(name)) << name;
    for (const wchar_t *name :
         {L"Mendpack.zipx", L"Mendpack.zip.bak", L"MyMend.zip", L"Men.zip", L"Mend.zi", L""})
        EXPECT_FALSE(MatchesKitPattern(name)) << name;
}

TEST(WinVersion, EveryRowOfTheTable) {
    // The 95/98/ME family repeats major and minor version in the high half of the build number.
    auto win9x = [](std::uint32_t minor, std::uint32_t build) {
        return VersionRecord{1, 4, minor, (4u << 24) | (minor << 16) | build};
    };
    auto nt = [](std::uint32_t major, std::uint32_t minor) { return VersionRecord{2, major, minor, 2600}; };
    const std::pair<VersionRecord, const wchar_t *> rows[] = {
        {win9x(10, 1997), L""},
        {win9x(10, 1998), L"Windows 98"},
        {{1, 4, 10, 1998}, L"Windows 98"}, // the high half of the build number does not count
        {{1, 4, 10, 0xFFFF0000u | 1997}, L""},
        {win9x(10, 1999), L"Windows 98 SP1"},
        {win9x(10, 2182), L"Windows 98 SP1"},
        {win9x(10, 2183), L"Windows 98 SE"},
        {win9x(90, 1998), L"Windows ME"},
        {nt(3, 51), L"Windows NT 3.51"},
        {nt(4, 0), L"Windows NT 4.0"},
        {nt(5, 0), L"Windows 2000"},
        {nt(5, 2), L"Windows XP"},
        {nt(6, 0), L""},
        {{}, L"Unable To get Windows Version"}, // the call failed
        {{0, 5, 1, 2600}, L"Unable To get Windows Version"},
    };
    for (const auto &[version, name] : rows)
        EXPECT_EQ(WinVersionName(version), name) << version.platformId << " " << version.majorVersion << "."
                                                 << version.minorVersion << "." << version.buildNumber;
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
        {L"windows xp",
         nt,
         {L"V8086|1|System|Intel", L"V10DE|1|Display|nVidia Corp", L"V1274|1|MEDIA|X"},
         L"nVidia Corp"},
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
            registry.subkeys[c.list + L"\\" + device].push_back(instance);
            registry.values[c.list + L"\\" + device + L"\\" + instance + L"Class"] = kind;
            registry.values[c.list + L"\\" + device + L"\\" + instance + L"Mfg"] = maker;
        }
        EXPECT_EQ(FindVideoMaker(c.version, registry), c.maker) << c.version << " " << c.instances[0];
    }
}
