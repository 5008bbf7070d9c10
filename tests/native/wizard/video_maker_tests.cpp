#include <gtest/gtest.h>

#include <map>
#include <set>

#include "wizard/services/video_maker.h"

using wizard::FindVideoMaker;
using wizard::PciListKey;

namespace {

const std::wstring kNtList = L"SYSTEM\\CurrentControlSet\\Enum\\PCI", k9xList = L"Enum\\PCI";

// A registry stand-in: device instances two levels below a list key, listed in the order added,
// each with its Class and Mfg ("-" for a value that is not there).
class FakeRegistry : public wizard::RegistryReader {
  public:
    FakeRegistry(const std::wstring &list, std::vector<std::vector<std::wstring>> instances) {
        for (const auto &i : instances) { // device, instance, class, maker
            auto &devices = subkeys_[list];
            if (devices.empty() || devices.back() != i[0])
                devices.push_back(i[0]);
            subkeys_[list + L"\\" + i[0]].push_back(i[1]);
            values_[list + L"\\" + i[0] + L"\\" + i[1] + L"|Class"] = i[2];
            values_[list + L"\\" + i[0] + L"\\" + i[1] + L"|Mfg"] = i[3];
        }
    }
    std::vector<std::wstring> Subkeys(const std::wstring &key) override {
        listed.insert(key);
        return subkeys_[key];
    }
    std::wstring Text(const std::wstring &key, const std::wstring &value) override {
        std::wstring text = values_[key + L"|" + value];
        return text == L"-" ? L"" : text;
    }
    std::set<std::wstring> listed;

  private:
    std::map<std::wstring, std::vector<std::wstring>> subkeys_;
    std::map<std::wstring, std::wstring> values_;
};

} // namespace

TEST(PciListKey, OnlyWindows2000AndXPUseTheControlSet) {
    for (const wchar_t *nt : {L"windows 2000", L"windows xp"})
        EXPECT_EQ(PciListKey(nt), kNtList) << nt;
    // The name arrives lower-cased; the search itself is case-sensitive.
    for (const wchar_t *other : {L"windows 98 se", L"windows me", L"windows nt 4.0", L"", L"Windows XP",
                                 L"unable to get windows version"})
        EXPECT_EQ(PciListKey(other), k9xList) << other;
}

TEST(VideoMaker, TheLastInstanceWithADisplayClassGivesTheMakerAsStored) {
    const struct {
        const char *what;
        std::vector<std::vector<std::wstring>> instances;
        std::wstring maker;
    } cases[] = {
        {"one adapter among other devices",
         {{L"VEN_8086", L"1", L"System", L"Intel"},
          {L"VEN_10DE", L"1", L"Display", L"nVidia Corp"},
          {L"VEN_1274", L"1", L"MEDIA", L"Ensoniq"}},
         L"nVidia Corp"},
        {"class in capitals", {{L"VEN_121A", L"1", L"DISPLAY", L"3Dfx"}}, L"3Dfx"},
        {"class holding the word", {{L"VEN_121A", L"1", L"Display adapters", L"3Dfx"}}, L"3Dfx"},
        {"no display class",
         {{L"VEN_1", L"A", L"Monitor", L"Sony"},
          {L"VEN_2", L"A", L"Sound", L"Creative"},
          {L"VEN_3", L"A", L"-", L"X"}},
         L""},
        {"two instances of one device",
         {{L"VEN_10DE", L"1", L"display", L"First"}, {L"VEN_10DE", L"2", L"Display", L"Second"}},
         L"Second"},
        {"the last adapter without Mfg",
         {{L"VEN_10DE", L"1", L"Display", L"NVIDIA"}, {L"VEN_1002", L"1", L"Display", L"-"}},
         L""},
    };
    for (const auto &c : cases) {
        FakeRegistry registry(kNtList, c.instances);
        EXPECT_EQ(FindVideoMaker(L"windows xp", registry), c.maker) << c.what;
    }
}

TEST(VideoMaker, WalksOnlyTheChosenListAndItsTwoLevels) {
    FakeRegistry registry(k9xList, {{L"D", L"I", L"Display", L"M"}});
    EXPECT_EQ(FindVideoMaker(L"windows xp", registry), L"") << "the other list key holds nothing";
    registry.listed.clear();
    EXPECT_EQ(FindVideoMaker(L"windows 98", registry), L"M");
    EXPECT_EQ(registry.listed, (std::set<std::wstring>{k9xList, k9xList + L"\\D"}));
}
