#include "unzip/unzip.h"

#include <cstring>

#include "common/error.h"
#include "common/text.h"
#include "unzip/member_path.h"

namespace {
std::wstring Source() {
    return mend::ComponentSource(L".VBUnzip");
}
} // namespace

cUnzip::~cUnzip() {
    mUnzip::Forget(*this);
}

const cUnzip::ZipListEntry &cUnzip::Entry(int32_t lIndex) const {
    if (lIndex < 1 || lIndex > FileCount())
        mend::RaiseSubscriptOutOfRange(Source());
    return entries_[static_cast<size_t>(lIndex) - 1];
}

cUnzip::ZipListEntry &cUnzip::Entry(int32_t lIndex) {
    return const_cast<ZipListEntry &>(static_cast<const cUnzip &>(*this).Entry(lIndex));
}

int32_t cUnzip::FilePackedSize(int32_t lIndex) const {
    const ZipListEntry &entry = Entry(lIndex);
    int64_t product = static_cast<int64_t>(entry.ratio) * entry.size;
    if (product < INT32_MIN || product > INT32_MAX)
        mend::RaiseOverflow(Source());
    return static_cast<int32_t>(product / 100);
}

void cUnzip::ZipFile(const std::wstring &sFile) {
    zipFile_ = sFile;
    entries_.clear();
    methods_.clear();
    methodIndex_.clear();
}

int32_t cUnzip::Directory() {
    options_.zipFile = zipFile_;
    options_.extractFolder.clear();
    options_.fields.listOnly = 1;
    libraryStatus_ = mUnzip::RunUnzip(*this, options_, {}, {});
    return 0;
}

bool cUnzip::Unzip() {
    if (zipFile_.empty())
        return false;
    std::vector<std::wstring> names;
    for (const ZipListEntry &entry : entries_)
        if (entry.selected)
            names.push_back(mUnzip::ArchivePath(entry.folder, entry.name));
    // An empty include list means the whole archive to the library, so a caller who deselected
    // every member must not reach it.
    if (!entries_.empty() && names.empty())
        return false;
    if (names.size() == entries_.size())
        names.clear();
    options_.zipFile = zipFile_;
    options_.extractFolder = unzipFolder_;
    options_.fields.listOnly = 0;
    libraryStatus_ = mUnzip::RunUnzip(*this, options_, names, {});
    return libraryStatus_ == 0;
}

void cUnzip::GetVersion(int32_t &lMajor, int32_t &lMinor, int32_t &lRevision, ZipDate &dDate,
                        std::wstring &sExtraInfo) {
    (void)dDate;
    UnzipVersionInfo info{};
    info.length = sizeof info;
    std::memcpy(info.betaLevel, "         ", 10);
    std::memcpy(info.date, "                   ", 20);
    std::memcpy(info.extra, "         ", 10);
    mUnzip::Library().Version()(&info);

    std::wstring beta = mend::WideFromUtf8(std::string(info.betaLevel, sizeof info.betaLevel));
    size_t nul = beta.find(L'\0', 1);
    if (nul != std::wstring::npos) {
        beta.resize(nul);
        beta.resize(sizeof info.betaLevel, L' ');
    }
    sExtraInfo = beta;
    lMajor = info.version[3][0];
    lMinor = info.version[3][1];
    lRevision = info.version[3][2];
}

void cUnzip::AddListEntry(std::wstring name, std::wstring folder, const ZipDate &date, int32_t size,
                          uint32_t crc, bool encrypted, int32_t ratio, std::wstring method) {
    if (name.empty() || name == std::wstring(1, L'\0'))
        return; // a folder entry of the archive
    ZipListEntry &entry = entries_.emplace_back();
    entry.name = std::move(name);
    entry.folder = std::move(folder);
    entry.date = date;
    entry.size = size;
    entry.crc = crc;
    entry.encrypted = encrypted;
    entry.ratio = ratio;
    entry.method = MethodIndex(std::move(method));
}

uint16_t cUnzip::MethodIndex(std::wstring method) {
    auto known = methodIndex_.find(method);
    if (known != methodIndex_.end())
        return known->second;
    if (methods_.size() > UINT16_MAX)
        return 0; // more distinct texts than any real archive has: show the first one
    methods_.push_back(method);
    uint16_t index = static_cast<uint16_t>(methods_.size() - 1);
    methodIndex_.emplace(std::move(method), index);
    return index;
}

void cUnzip::RaiseCancel(const std::wstring &sMsg, bool &bCancel) {
    if (Cancel)
        Cancel(sMsg, bCancel);
}

void cUnzip::RaiseOverwritePrompt(const std::wstring &sFile, int32_t &eResponse) {
    if (OverwritePrompt)
        OverwritePrompt(sFile, eResponse);
}

void cUnzip::RaisePasswordRequest(std::wstring &sPassword, bool &bCancel) {
    if (PasswordRequest)
        PasswordRequest(sPassword, bCancel);
}

void cUnzip::RaiseProgress(int32_t lCount, const std::wstring &sMsg) {
    if (Progress)
        Progress(lCount, sMsg);
}
