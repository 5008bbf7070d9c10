#include "wizard/services/kit_archive.h"

#include <algorithm>

#include "common/text.h"

namespace wizard {

void ExtractMembers(cUnzip &reader, const std::wstring &archive, const std::wstring &folder,
                    const std::vector<std::wstring> &wanted) {
    reader.ZipFile(archive);
    reader.UnzipFolder(folder);
    reader.Directory();
    const int32_t count = reader.FileCount();
    for (int32_t i = 1; i <= count; ++i) {
        if (std::find(wanted.begin(), wanted.end(), reader.FileName(i)) == wanted.end())
            reader.FileSelected(i, false);
    }
    reader.Unzip();
}

bool MatchesKitPattern(std::wstring_view name) {
    std::wstring lower = mend::LowerAscii(std::wstring(name));
    constexpr std::wstring_view head = L"mend", tail = L".zip";
    return lower.size() >= head.size() + tail.size() && lower.compare(0, head.size(), head) == 0 &&
           lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace wizard
