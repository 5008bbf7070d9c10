#include "folder_contents.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "support/temp_folder.h"
#include "win32/com.h"

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

ShortcutFields ReadShortcut(const std::wstring &file) {
    win32::ComApartment com;
    ShortcutFields fields;
    win32::ComPtr<IShellLinkW> link;
    win32::ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.ReceiveVoid())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return fields;
    wchar_t text[MAX_PATH * 2] = L"";
    link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    fields.target = text;
    link->GetWorkingDirectory(text, MAX_PATH * 2);
    fields.workingDirectory = text;
    link->GetDescription(text, MAX_PATH * 2);
    fields.description = text;
    link->GetShowCmd(&fields.showCommand);
    return fields;
}

std::wstring LauncherShortcut() {
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return desktop + std::wstring(L"\\Nightjar.lnk");
}

} // namespace kittest
