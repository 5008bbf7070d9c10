#include "wizard/services/game_paths.h"

#include <windows.h>

#include <vector>

#include "common/error.h"
#include "common/text.h"
#include "win32/handle.h"
#include "win32/win_error.h"
#include "wizard/services/kit_archive.h"
#include "wizard/services/shell.h"

namespace wizard {

std::wstring GameFolder() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> buffer(size + 1);
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0 || n >= buffer.size())
        win32::RaiseLastError(mend::ProgramName(), L"current directory");
    return std::wstring(buffer.data(), n);
}

std::wstring FindKitArchive() {
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    WIN32_FIND_DATAW found;
    win32::FindHandle search(FindFirstFileW(L"Mend*.zip", &found));
    if (!search)
        return std::wstring();
    do {
        if (!(found.dwFileAttributes & kSkipped) && MatchesKitPattern(found.cFileName))
            return found.cFileName;
    } while (FindNextFileW(search.Get(), &found));
    return std::wstring();
}

std::wstring NightjarShortcutFile() {
    return mend::JoinPath(ShellObject().SpecialFolders(L"Desktop"), L"Nightjar.lnk");
}

} // namespace wizard
