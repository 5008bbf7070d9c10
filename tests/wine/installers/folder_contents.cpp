#include "folder_contents.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "support/temp_folder.h"
#include "win32/com.h"

namespace kittest {

FolderContents Contents(const std::wstring &folder) {
    FolderContents out;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::wstring path = entry.path().wstring(), name = path.substr(folder.size() + 1);
        if (entry.is_directory())
            out[name + L"\\"] = "";
        else
            out[name + (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY ? L"*" : L"")] =
                wintest::ReadFile(path);
    }
    return out;
}

ShortcutFields ReadShortcut(const std::wstring &file) {
    win32::ComApartment com;
    win32::ComPtr<IShellLinkW> link;
    win32::ComPtr<IPersistFile> persist;
    wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"", description[MAX_PATH] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   link.ReceiveVoid())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.ReceiveVoid())) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        link->GetDescription(description, MAX_PATH);
    }
    return {target, folder, description};
}

std::wstring LauncherShortcut() {
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return desktop + std::wstring(L"\\Nightjar.lnk");
}

} // namespace kittest
