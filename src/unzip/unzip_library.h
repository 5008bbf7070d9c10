#pragma once
// Our zip library's two entry points. Each is bound by name at its first use, as the classic
// run-time binds a declared DLL function, so a program that never lists an archive never needs
// the library.
#include <memory>
#include <string>

#include "ziplib/vbuzip10.h"

namespace mUnzip {

class SharedLibrary;

class UnzipLibrary {
  public:
    // Binds the library of this file name (by default the platform's name of vbuzip10).
    explicit UnzipLibrary(std::wstring fileName);
    // Uses the given entry points; tests put a fake library in place this way.
    UnzipLibrary(WizSingleEntryUnzipFn singleEntryUnzip, UzpVersion2Fn version);
    ~UnzipLibrary();
    UnzipLibrary(UnzipLibrary &&) noexcept;
    UnzipLibrary &operator=(UnzipLibrary &&) noexcept;

    // Each raises mend::Error 48 when the library cannot be loaded and 453 when it lacks the entry point.
    WizSingleEntryUnzipFn SingleEntryUnzip();
    UzpVersion2Fn Version();

  private:
    void *Bind(const char *entryName);

    std::wstring fileName_;
    std::unique_ptr<SharedLibrary> module_;
    WizSingleEntryUnzipFn singleEntryUnzip_ = nullptr;
    UzpVersion2Fn version_ = nullptr;
};

// The error numbers of the classic run-time for a DLL that cannot be used.
constexpr long kErrLoadingDll = 48;
constexpr long kErrDllEntryPoint = 453;

} // namespace mUnzip
