#include "folder_contents.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "support/temp_folder.h"
#include "win32/com.h"

namespace kittest {

FolderContents Contents(const std::wstring &folder) {
    FolderContents out;
    for (const std::wstring &name : wintest::List(folder)) {
        const std::wstring path = folder + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[name + L"\\"] = "";
            for (const auto &[inner, bytes] : Contents(path))
                out[name + L"\\" + inner] = bytes;
        } else {
            out[name + (attributes & FILE_ATTRIBUTE_READONLY ? L"*" : L"")] = wintest::ReadFile(path);
        }
    }
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
