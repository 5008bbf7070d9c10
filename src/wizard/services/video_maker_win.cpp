#include "wizard/services/video_maker_win.h"

namespace wizard {

cRegistryReader::cRegistryReader() {
    key_.ClassKey(registry::kHkeyLocalMachine);
}

std::vector<std::wstring> cRegistryReader::Subkeys(const std::wstring &sectionKey) {
    key_.SectionKey(sectionKey);
    std::vector<std::wstring> names;
    std::int32_t count = 0;
    key_.EnumerateSections(names, count);
    return names;
}

std::wstring cRegistryReader::Text(const std::wstring &sectionKey, const std::wstring &valueKey) {
    key_.SectionKey(sectionKey);
    key_.ValueKey(valueKey);
    key_.ValueType(registry::kRegSz);
    return registry::TextForm(key_.Value());
}

std::wstring ReadVideoMaker(const std::wstring &winVersionLower) {
    cRegistryReader registry;
    return FindVideoMaker(winVersionLower, registry);
}

} // namespace wizard
