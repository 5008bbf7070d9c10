#include "installers/player_files.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/error.h"
#include "common/text.h"
#include "installers/installed_files.h"
#include "win32/handle.h"
#include "wizard/services/kit_archive.h"

namespace installers {

namespace {

bool SameBytes(const std::wstring &a, const std::wstring &b) {
    auto open = [](const std::wstring &name) {
        return win32::Handle(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    win32::Handle first = open(a), second = open(b);
    if (!first || !second)
        return false;
    static char one[1 << 16], other[1 << 16];
    for (;;) {
        DWORD got = 0, gotOther = 0;
        if (!ReadFile(first.Get(), one, sizeof one, &got, nullptr) ||
            !ReadFile(second.Get(), other, sizeof other, &gotOther, nullptr) || got != gotOther ||
            !std::equal(one, one + got, other))
            return false;
        if (got == 0)
            return true;
    }
}

std::wstring NewTemporaryFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    static unsigned counter = 0;
    for (int attempt = 0; n > 0 && n <= MAX_PATH && attempt < 100; ++attempt) {
        std::wstring path = std::wstring(base, n) + L"mendpack-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path.c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::wstring();
}

// Removes a file the kit made itself, read-only or not, where a failure must not hide the one
// being reported.
void DiscardQuietly(const std::wstring &file) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
}

// The kit archive's own versions of some installed files, taken out into a folder of their own
// under the system's temporary folder, which goes with this object. Whatever cannot be taken out
// counts as not the kit's: then a file is kept, or left in place, rather than lost.
class KitVersions {
  public:
    KitVersions(const std::wstring &archive, const std::vector<const InstalledFile *> &files) {
        std::vector<std::wstring> members;
        for (const InstalledFile *f : files)
            for (const wchar_t *member : f->members)
                if (member)
                    members.push_back(member);
        cUnzip reader;
        folder_ = NewTemporaryFolder();
        if (folder_.empty()) {
            reader.ZipFile(archive);
            reader.Directory();
        } else {
            try {
                wizard::ExtractMembers(reader, archive, folder_, members);
            } catch (const mend::Error &) {
                // A member that did not come out matches no file.
            }
        }
        for (int32_t i = 1; i <= reader.FileCount(); ++i)
            listed_.push_back(reader.FileName(i));
    }
    ~KitVersions() {
        if (folder_.empty())
            return;
        WIN32_FIND_DATAW found;
        win32::FindHandle search(FindFirstFileW(mend::JoinPath(folder_, L"*").c_str(), &found));
        for (bool more = bool(search); more; more = FindNextFileW(search.Get(), &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DiscardQuietly(mend::JoinPath(folder_, found.cFileName));
        search.Reset();
        RemoveDirectoryW(folder_.c_str());
    }
    KitVersions(const KitVersions &) = delete;
    KitVersions &operator=(const KitVersions &) = delete;

    bool Holds(const std::wstring &member) const {
        return std::find(listed_.begin(), listed_.end(), member) != listed_.end();
    }
    bool IsKitOwn(const InstalledFile &file) const {
        if (folder_.empty())
            return false;
        for (const wchar_t *member : file.members)
            if (member && SameBytes(file.file, mend::JoinPath(folder_, member)))
                return true;
        return false;
    }

  private:
    std::wstring folder_;
    std::vector<std::wstring> listed_;
};

} // namespace

std::wstring KeptCopy(const std::wstring &file) {
    return mend::JoinPath(kKeptFolder, file);
}

void KeepPlayerFiles(const wizard::FileSystemObject &fso, const std::wstring &archive,
                     const std::vector<std::wstring> &members) {
    // The files these members replace, each with the member that will stand in its place.
    std::vector<std::pair<const InstalledFile *, std::wstring>> replaced;
    std::vector<const InstalledFile *> files;
    for (const InstalledFile &f : kInstalledFiles)
        for (const wchar_t *member : f.members)
            if (member && std::find(members.begin(), members.end(), member) != members.end() &&
                fso.FileExists(f.file) && !fso.FileExists(KeptCopy(f.file))) {
                replaced.emplace_back(&f, member);
                files.push_back(&f);
            }
    if (replaced.empty())
        return;
    const KitVersions kit(archive, files);
    std::vector<std::wstring> keep;
    for (const auto &[file, member] : replaced)
        if (kit.Holds(member) && !kit.IsKitOwn(*file))
            keep.push_back(file->file);
    if (keep.empty())
        return;

    const bool madeFolder = !fso.FolderExists(kKeptFolder);
    if (madeFolder)
        fso.CreateFolder(kKeptFolder);
    size_t copied = 0;
    try {
        for (; copied < keep.size(); ++copied)
            fso.CopyFile(keep[copied], KeptCopy(keep[copied]));
    } catch (const mend::Error &) {
        // None of these copies existed before, the failed one included: a part of a copy is no copy.
        for (size_t i = 0; i <= copied && i < keep.size(); ++i)
            DiscardQuietly(KeptCopy(keep[i]));
        if (madeFolder)
            RemoveDirectoryW(kKeptFolder);
        throw;
    }
}

void RemoveKitFiles(const wizard::FileSystemObject &fso) {
    // Only a file without a kept copy needs telling apart: one with a copy was replaced by a page.
    std::vector<const InstalledFile *> unknown;
    for (const InstalledFile &f : kInstalledFiles)
        if (fso.FileExists(f.file) && !fso.FileExists(KeptCopy(f.file)))
            unknown.push_back(&f);
    std::unique_ptr<KitVersions> kit;
    if (!unknown.empty())
        kit = std::make_unique<KitVersions>(wizard::kKitArchive, unknown);

    for (const InstalledFile &f : kInstalledFiles) {
        const bool kept = fso.FileExists(KeptCopy(f.file));
        if (fso.FileExists(f.file) && (kept || kit->IsKitOwn(f)))
            fso.DeleteFile(f.file, true);
    }
    for (const InstalledFile &f : kInstalledFiles)
        if (fso.FileExists(KeptCopy(f.file)))
            fso.MoveFile(KeptCopy(f.file), f.file);
    if (fso.FolderExists(kKeptFolder))
        fso.DeleteEmptyFolder(kKeptFolder);
}

} // namespace installers
