#include <windows.h>

#include "unzip/shared_library.h"
#include "win32/handle.h"

namespace mUnzip {

namespace {

class WindowsLibrary : public SharedLibrary {
  public:
    explicit WindowsLibrary(HMODULE module) : module_(module) {}
    void *Find(const char *entryName) const override {
        return reinterpret_cast<void *>(GetProcAddress(module_.Get(), entryName));
    }

  private:
    win32::Module module_;
};

} // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::wstring &fileName) {
    // The standard search starts in the program's own folder, where the kit puts the library.
    HMODULE module = LoadLibraryW(fileName.c_str());
    if (!module)
        return nullptr;
    return std::make_unique<WindowsLibrary>(module);
}

std::wstring UnzipLibraryFileName() {
    return L"vbuzip10.dll";
}

} // namespace mUnzip
