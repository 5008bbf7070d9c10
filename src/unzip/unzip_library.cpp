#include "unzip/unzip_library.h"

#include "common/error.h"
#include "common/text.h"
#include "unzip/shared_library.h"

namespace mUnzip {

UnzipLibrary::UnzipLibrary(std::wstring fileName) : fileName_(std::move(fileName)) {}

UnzipLibrary::UnzipLibrary(WizSingleEntryUnzipFn singleEntryUnzip, UzpVersion2Fn version)
    : singleEntryUnzip_(singleEntryUnzip), version_(version) {}

UnzipLibrary::~UnzipLibrary() = default;
UnzipLibrary::UnzipLibrary(UnzipLibrary &&) noexcept = default;
UnzipLibrary &UnzipLibrary::operator=(UnzipLibrary &&) noexcept = default;

WizSingleEntryUnzipFn UnzipLibrary::SingleEntryUnzip() {
    if (!singleEntryUnzip_)
        singleEntryUnzip_ = reinterpret_cast<WizSingleEntryUnzipFn>(Bind("Wiz_SingleEntryUnzip"));
    return singleEntryUnzip_;
}

UzpVersion2Fn UnzipLibrary::Version() {
    if (!version_)
        version_ = reinterpret_cast<UzpVersion2Fn>(Bind("UzpVersion2"));
    return version_;
}

void *UnzipLibrary::Bind(const char *entryName) {
    const std::wstring source = mend::ComponentSource(L".VBUnzip");
    if (!module_ && !fileName_.empty())
        module_ = SharedLibrary::Open(fileName_);
    if (!module_)
        throw mend::Error(kErrLoadingDll, source, L"Error in loading DLL " + fileName_);
    void *entry = module_->Find(entryName);
    if (!entry)
        throw mend::Error(kErrDllEntryPoint, source,
                          L"Can't find DLL entry point " + mend::WideFromUtf8(entryName) + L" in " +
                              fileName_);
    return entry;
}

} // namespace mUnzip
