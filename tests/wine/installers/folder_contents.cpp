#include "folder_contents.h"

#include <windows.h>

#include "support/temp_folder.h"

namespace kittest {

namespace {
void Collect(const std::wstring &folder, const std::wstring &prefix, FolderContents &out) {
    for (const std::wstring &name : wintest::List(folder)) {
        std::wstring path = folder + L"\\" + name, relative = prefix + name;
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[relative + L"\\"] = "";
            Collect(path, relative + L"\\", out);
        } else {
            out[relative + ((attributes & FILE_ATTRIBUTE_READONLY) ? L"*" : L"")] = wintest::ReadFile(path);
        }
    }
}
} // namespace

FolderContents Contents(const std::wstring &folder) {
    FolderContents out;
    Collect(folder, L"", out);
    return out;
}

} // namespace kittest
