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

std::wstring cUnzip::FileName(int32_t lIndex) const {
    return mend::WideFromUtf8(paths_.Name(Entry(lIndex).path));
}

std::wstring cUnzip::FileDirectory(int32_t lIndex) const {
    return mend::WideFromUtf8(paths_.Folder(Entry(lIndex).path));
}

ZipDate cUnzip::FileDate(int32_t lIndex) const {
    const ZipListEntry &entry = Entry(lIndex);
    ZipDate date;
    if (!entry.dated)
        return date;
    date.year = static_cast<int32_t>(entry.year) + 1980;
    date.month = entry.month;
    date.day = entry.day;
    date.hour = entry.hour;
    date.minute = entry.minute;
    return date;
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
    paths_.Clear();
    methods_.clear();
    methodIndex_.clear();
    lastMethod_.clear();
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
    size_t selected = 0;
    for (size_t i = 0; i < entries_.size(); ++i)
        selected += entries_[i].selected ? 1 : 0;
    // An empty include list means the whole archive to the library, so a caller who deselected
    // every member must not reach it.
    if (!entries_.empty() && selected == 0)
        return false;
    std::vector<std::wstring> names;
    if (selected < entries_.size()) {
        for (size_t i = 0; i < entries_.size(); ++i) {
            const ZipListEntry &entry = entries_[i];
            if (entry.selected)
                names.push_back(mUnzip::ArchivePath(mend::WideFromUtf8(paths_.Folder(entry.path)),
                                                    mend::WideFromUtf8(paths_.Name(entry.path))));
        }
    }
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

void cUnzip::AddListEntry(std::string_view path, const ZipDate &date, int32_t size, uint32_t crc,
                          bool encrypted, int16_t ratio, const char *method) {
    mUnzip::PackedPath stored;
    if (!paths_.Add(path, stored))
        return; // a folder entry of the archive
    ZipListEntry &entry = entries_.emplace_back();
    entry.path = stored;
    entry.size = size;
    entry.ratio = ratio;
    entry.method = MethodIndex(method ? method : "");
    bool dosDate = date.year >= 1980 && date.year <= 2107 && date.month >= 0 && date.month <= 15 &&
                   date.day >= 0 && date.day <= 31 && date.hour >= 0 && date.hour <= 31 && date.minute >= 0 &&
                   date.minute <= 63;
    if (dosDate) { // the library's dates always are
        entry.dated = 1;
        entry.year = static_cast<uint32_t>(date.year - 1980);
        entry.month = static_cast<uint32_t>(date.month);
        entry.day = static_cast<uint32_t>(date.day);
        entry.hour = static_cast<uint32_t>(date.hour);
        entry.minute = static_cast<uint32_t>(date.minute);
    }
    entry.crc = crc;
    entry.encrypted = encrypted;
}

uint16_t cUnzip::MethodIndex(const char *method) {
    if (!methods_.empty() && std::strcmp(lastMethod_.c_str(), method) == 0)
        return lastMethodIndex_; // the run of members with the same method as the one before
    auto known = methodIndex_.find(method);
    if (known == methodIndex_.end()) {
        if (methods_.size() > UINT16_MAX)
            return 0; // more distinct texts than any real archive has: show the first one
        methods_.push_back(mUnzip::CutAtNul(mend::WideFromUtf8(method)));
        known = methodIndex_.emplace(method, static_cast<uint16_t>(methods_.size() - 1)).first;
    }
    lastMethod_ = method;
    lastMethodIndex_ = known->second;
    return known->second;
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
