#pragma once
// Finds the display adapter's maker in the registry's list of PCI devices.
#include <string>
#include <vector>

namespace wizard {

// The little of the registry the search reads, all under HKEY_LOCAL_MACHINE. A key that cannot
// be opened has no subkeys; a value that cannot be read is empty.
class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    virtual std::vector<std::wstring> Subkeys(const std::wstring &sectionKey) = 0;
    virtual std::wstring Text(const std::wstring &sectionKey, const std::wstring &valueKey) = 0;
};

// "SYSTEM\CurrentControlSet\Enum\PCI" for Windows 2000 and XP, "Enum\PCI" for every other name.
std::wstring PciListKey(const std::wstring &winVersionLower);

// The "Mfg" of the last device instance whose "Class" holds "display" in any case, as stored
// (empty when it has none, or when no instance is a display adapter).
std::wstring FindVideoMaker(const std::wstring &winVersionLower, RegistryReader &registry);

} // namespace wizard
