#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "common/text.h"
#include "unzip/shared_library.h"

namespace mUnzip {

namespace {

class PosixLibrary : public SharedLibrary {
  public:
    explicit PosixLibrary(void *handle) : handle_(handle) {}
    ~PosixLibrary() override { dlclose(handle_); }
    PosixLibrary(const PosixLibrary &) = delete;
    PosixLibrary &operator=(const PosixLibrary &) = delete;
    void *Find(const char *entryName) const override { return dlsym(handle_, entryName); }

  private:
    void *handle_;
};

std::string ProgramFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string full(path, static_cast<size_t>(n));
    return full.substr(0, full.find_last_of('/') + 1);
}

} // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::wstring &fileName) {
    // Like Windows, look beside the program first; then let the dynamic loader search.
    std::string name = mend::Utf8FromWide(fileName);
    void *handle = nullptr;
    if (name.find('/') == std::string::npos) {
        std::string folder = ProgramFolder();
        if (!folder.empty())
            handle = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!handle)
        handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    return std::make_unique<PosixLibrary>(handle);
}

std::wstring UnzipLibraryFileName() {
    return L"libvbuzip10.so";
}

} // namespace mUnzip
