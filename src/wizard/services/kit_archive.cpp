#include "wizard/services/kit_archive.h"

#include <algorithm>
#include <memory>

#include "common/error.h"
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
    // The library gives its reasons only as messages, "<member path>: <reason>" for a member it
    // could not write. Kept by the handler itself, so that a failed call leaves nothing dangling.
    auto said = std::make_shared<std::vector<std::wstring>>();
    reader.Progress = [said](int32_t, const std::wstring &sMsg) { said->push_back(sMsg); };
    reader.Unzip();
    reader.Progress = nullptr;
    if (reader.LibraryStatus() == 0)
        return;
    for (int32_t i = 1; i <= count; ++i) {
        if (!reader.FileSelected(i))
            continue;
        const std::wstring name = reader.FileName(i), inside = reader.FileDirectory(i);
        const std::wstring path = (inside.empty() ? name : inside + L"\\" + name) + L": ";
        for (const std::wstring &text : *said) {
            if (text.compare(0, path.size(), path) != 0)
                continue;
            std::wstring reason = text.substr(path.size()); // "it could not be written: ..."
            if (!reason.empty() && reason[0] >= L'a' && reason[0] <= L'z')
                reason[0] = static_cast<wchar_t>(reason[0] - L'a' + L'A');
            throw mend::Error(reader.LibraryStatus(), mend::ComponentSource(L".VBUnzip"),
                              reason + L" (extract " + name + L")");
        }
    }
}

bool MatchesKitPattern(std::wstring_view name) {
    std::wstring lower = mend::LowerAscii(std::wstring(name));
    constexpr std::wstring_view head = L"mend", tail = L".zip";
    return lower.size() >= head.size() + tail.size() && lower.compare(0, head.size(), head) == 0 &&
           lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace wizard
