#include <unistd.h>

#include <climits>

#include "common/error.h"
#include "common/text.h"

namespace mend {

std::wstring ProgramName() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string name = n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("program");
    return StripFolderAndExtension(WideFromUtf8(name));
}

} // namespace mend
