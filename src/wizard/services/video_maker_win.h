#pragma once
// The video-maker search over the real registry, through cRegistry.
#include <string>

#include "registry/c_registry.h"
#include "wizard/services/video_maker.h"

namespace wizard {

// Reads through a cRegistry key object rooted at HKEY_LOCAL_MACHINE, as a string value.
class cRegistryReader : public RegistryReader {
  public:
    cRegistryReader();
    std::vector<std::wstring> Subkeys(const std::wstring &sectionKey) override;
    std::wstring Text(const std::wstring &sectionKey, const std::wstring &valueKey) override;

  private:
    registry::cRegistry key_;
};

// The display adapter's maker as stored, for the lower-cased Windows version name.
std::wstring ReadVideoMaker(const std::wstring &winVersionLower);

} // namespace wizard
