#include "wizard/services/video_maker.h"

#include "common/text.h"

namespace wizard {

std::wstring PciListKey(const std::wstring &winVersionLower) {
    if (mend::Contains(winVersionLower, L"2000") || mend::Contains(winVersionLower, L"xp"))
        return L"SYSTEM\\CurrentControlSet\\Enum\\PCI";
    return L"Enum\\PCI";
}

std::wstring FindVideoMaker(const std::wstring &winVersionLower, RegistryReader &registry) {
    const std::wstring listKey = PciListKey(winVersionLower);
    std::wstring maker;
    // One subkey per kind of PCI device, and below it one per installed instance.
    for (const std::wstring &device : registry.Subkeys(listKey)) {
        const std::wstring deviceKey = listKey + L"\\" + device;
        for (const std::wstring &instance : registry.Subkeys(deviceKey)) {
            const std::wstring instanceKey = deviceKey + L"\\" + instance;
            if (mend::Contains(mend::LowerAscii(registry.Text(instanceKey, L"Class")), L"display"))
                maker = registry.Text(instanceKey, L"Mfg");
        }
    }
    return maker;
}

} // namespace wizard
