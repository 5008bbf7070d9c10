#include "unzip/member_path.h"

namespace mUnzip {

size_t ReplaceSeparators(std::wstring &text, wchar_t find, wchar_t replace) {
    size_t after = 1;
    for (size_t i = text.find(find, 1); i != std::wstring::npos; i = text.find(find, i + 1)) {
        text[i] = replace;
        after = i + 2;
    }
    return after;
}

void ReplaceAll(std::wstring &text, wchar_t find, wchar_t replace) {
    for (auto &c : text)
        if (c == find)
            c = replace;
}

std::wstring CutAtNul(std::wstring text) {
    size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

std::wstring ArchivePath(const std::wstring &folder, const std::wstring &name) {
    if (folder.empty() || folder == std::wstring(1, L'\0'))
        return name;
    std::wstring path = folder + L"/" + name;
    ReplaceSeparators(path, L'\\', L'/');
    return path;
}

} // namespace mUnzip
