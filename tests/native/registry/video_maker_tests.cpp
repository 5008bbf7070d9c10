#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "wizard/video_maker.h"

using mend::FindVideoMaker;
using mend::PciListKey;

namespace {

const std::wstring kNtList = L"SYSTEM\\CurrentControlSet\\Enum\\PCI";
const std::wstring k9xList = L"Enum\\PCI";

// A registry of keys and string values, listing subkeys in the order they were added.
class FakeRegistry : public mend::RegistryReader {
  public:
    void AddDevice(const std::wstring &list, const std::wstring &device, const std::wstring &instance,
                   std::map<std::wstring, std::wstring> values) {
        AddSubkey(list, device);
        AddSubkey(list + L"\\" + device, instance);
        values_[list + L"\\" + device + L"\\" + instance] = std::move(values);
    }
    std::vector<std::wstring> Subkeys(const std::wstring &sectionKey) override {
        listed.insert(sectionKey);
        auto it = subkeys_.find(sectionKey);
        return it == subkeys_.end() ? std::vector<std::wstring>{} : it->second;
    }
    std::wstring Text(const std::wstring &sectionKey, const std::wstring &valueKey) override {
        auto key = values_.find(sectionKey);
        if (key == values_.end())
            return {};
        auto value = key->second.find(valueKey);
        return value == key->second.end() ? std::wstring() : value->second;
    }
    std::set<std::wstring> listed;

  private:
    void AddSubkey(const std::wstring &parent, const std::wstring &name) {
        auto &names = subkeys_[parent];
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    std::map<std::wstring, std::vector<std::wstring>> subkeys_;
    std::map<std::wstring, std::map<std::wstring, std::wstring>> values_;
};

} // namespace

TEST(PciListKey, OnlyWindows2000AndXPUseTheControlSet) {
    EXPECT_EQ(PciListKey(L"windows 2000"), kNtList);
    EXPECT_EQ(PciListKey(L"windows xp"), kNtList);
    for (const wchar_t *other : {L"windows 98", L"windows 98 se", L"windows me", L"windows nt 4.0",
                                 L"windows nt 3.51", L"", L"unable to get windows version"})
        EXPECT_EQ(PciListKey(other), k9xList) << other;
    // The name arrives lower-cased; the search itself is case-sensitive.
    EXPECT_EQ(PciListKey(L"Windows XP"), k9xList);
}

TEST(VideoMaker, FindsTheDisplayAdapterTwoLevelsDown) {
    FakeRegistry registry;
    registry.AddDevice(kNtList, L"VEN_8086&DEV_7113", L"000800", {{L"Class", L"System"}, {L"Mfg", L"Intel"}});
    registry.AddDevice(kNtList, L"VEN_10DE&DEV_0110", L"000008",
                       {{L"Class", L"Display"}, {L"Mfg", L"nVidia Corp"}});
    registry.AddDevice(kNtList, L"VEN_1274&DEV_1371", L"000050",
                       {{L"Class", L"MEDIA"}, {L"Mfg", L"Ensoniq"}});
    EXPECT_EQ(FindVideoMaker(L"windows xp", registry), L"nVidia Corp") << "as stored, not lower-cased";
    EXPECT_EQ(FindVideoMaker(L"windows 98 se", registry), L"") << "the other list key holds nothing";
}

TEST(VideoMaker, ClassMatchesDisplayInAnyCase) {
    for (const wchar_t *cls : {L"Display", L"DISPLAY", L"display", L"Display adapters"}) {
        FakeRegistry registry;
        registry.AddDevice(k9xList, L"VEN_121A&DEV_0005", L"BUS_00", {{L"Class", cls}, {L"Mfg", L"3Dfx"}});
        EXPECT_EQ(FindVideoMaker(L"windows 98", registry), L"3Dfx") << cls;
    }
}

TEST(VideoMaker, OtherClassesAndMissingClassNeverMatch) {
    FakeRegistry registry;
    registry.AddDevice(k9xList, L"VEN_1", L"A", {{L"Class", L"Monitor"}, {L"Mfg", L"Sony"}});
    registry.AddDevice(k9xList, L"VEN_2", L"A", {{L"Class", L"Sound"}, {L"Mfg", L"Creative"}});
    registry.AddDevice(k9xList, L"VEN_3", L"A", {{L"Mfg", L"NoClass Inc"}});
    EXPECT_EQ(FindVideoMaker(L"windows me", registry), L"");
}

TEST(VideoMaker, LastDisplayAdapterWinsEvenWithoutMaker) {
    FakeRegistry registry;
    registry.AddDevice(kNtList, L"VEN_10DE&DEV_0110", L"1", {{L"Class", L"Display"}, {L"Mfg", L"NVIDIA"}});
    registry.AddDevice(kNtList, L"VEN_10DE&DEV_0110", L"2", {{L"Class", L"Display"}, {L"Mfg", L"Second"}});
    EXPECT_EQ(FindVideoMaker(L"windows 2000", registry), L"Second") << "instances of one device";

    registry.AddDevice(kNtList, L"VEN_1002&DEV_5159", L"1", {{L"Class", L"Display"}});
    registry.AddDevice(kNtList, L"VEN_1274&DEV_1371", L"1", {{L"Class", L"Sound"}, {L"Mfg", L"Ensoniq"}});
    EXPECT_EQ(FindVideoMaker(L"windows 2000", registry), L"") << "the last adapter has no Mfg";
}

TEST(VideoMaker, WalksOnlyTheChosenListAndItsTwoLevels) {
    FakeRegistry registry;
    registry.AddDevice(k9xList, L"D", L"I", {{L"Class", L"Display"}, {L"Mfg", L"M"}});
    FindVideoMaker(L"windows 98", registry);
    EXPECT_EQ(registry.listed, (std::set<std::wstring>{k9xList, k9xList + L"\\D"}));
}
