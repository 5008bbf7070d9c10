#pragma once
// A shared library opened by file name the way the platform finds a program's own libraries,
// kept open while the object lives. One implementation per platform (_win, _posix).
#include <memory>
#include <string>

namespace mUnzip {

class SharedLibrary {
  public:
    virtual ~SharedLibrary() = default;
    // Null when the library cannot be found or loaded.
    static std::unique_ptr<SharedLibrary> Open(const std::wstring &fileName);
    // The address of an exported function, or null.
    virtual void *Find(const char *entryName) const = 0;
};

// Our zip library's file name on this platform ("vbuzip10.dll", "libvbuzip10.so").
std::wstring UnzipLibraryFileName();

} // namespace mUnzip
