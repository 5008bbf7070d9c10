#include <windows.h>

#include "common/error.h"
#include "common/text.h"

namespace mend {

std::wstring ProgramName() {
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return StripFolderAndExtension(path);
}

}  // namespace mend
