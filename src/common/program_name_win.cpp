#include <windows.h>

#include "common/error.h"
#include "common/text.h"

namespace mend {

// Callers name the source of an error while they raise it from GetLastError, so this must leave
// the thread's last error as it found it.
std::wstring ProgramName() {
    DWORD lastError = GetLastError();
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    SetLastError(lastError);
    return StripFolderAndExtension(path);
}

} // namespace mend
