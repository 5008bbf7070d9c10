#include "wizard/services/shell.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "common/error.h"
#include "win32/com.h"
#include "win32/win_error.h"

namespace wizard {

namespace {

const std::wstring &Source() {
    static const std::wstring source = mend::ComponentSource(L".WshShell");
    return source;
}

void Check(HRESULT hr, const std::wstring &what) {
    if (FAILED(hr))
        win32::RaiseHResult(hr, Source(), what);
}

} // namespace

std::wstring ShellObject::SpecialFolders(const std::wstring &folder) const {
    if (folder != L"Desktop")
        return std::wstring();
    wchar_t path[MAX_PATH];
    Check(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path),
          L"desktop folder");
    std::wstring result = path;
    while (result.size() > 3 && result.back() == L'\\')
        result.pop_back();
    return result;
}

void Shortcut::Save() const {
    win32::ComPtr<IShellLinkW> link;
    Check(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid()),
        L"shell link");
    Check(link->SetPath(TargetPath.c_str()), L"shortcut target");
    Check(link->SetShowCmd(WindowStyle), L"shortcut window style");
    Check(link->SetDescription(Description.c_str()), L"shortcut description");
    Check(link->SetWorkingDirectory(WorkingDirectory.c_str()), L"shortcut working directory");
    win32::ComPtr<IPersistFile> file;
    Check(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()), L"shortcut file");
    Check(file->Save(file_.c_str(), TRUE), L"save " + file_);
}

} // namespace wizard
