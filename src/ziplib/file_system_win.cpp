#include <windows.h>

#include "common/text.h"
#include "win32/handle.h"
#include "win32/win_error.h"
#include "ziplib/file_system.h"
#include "ziplib/status.h"

namespace ziplib {

namespace {

std::wstring WidePath(const std::string &path) {
    std::wstring wide = mend::WideFromUtf8(path);
    for (wchar_t &c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    return wide;
}

std::string SystemText(DWORD code = GetLastError()) {
    return mend::Utf8FromWide(win32::SystemMessage(code));
}

class WinArchive : public ArchiveFile {
  public:
    WinArchive(win32::Handle file, const BY_HANDLE_FILE_INFORMATION &info)
        : file_(std::move(file)), size_(uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow) {
        auto time = [](const FILETIME &t) { return uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime; };
        identity_.volume = info.dwVolumeSerialNumber;
        identity_.file = uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
        identity_.size = size_;
        identity_.modified = time(info.ftLastWriteTime);
        identity_.changed = time(info.ftCreationTime);
    }
    uint64_t Size() const override { return size_; }
    bool Identify(FileIdentity &identity) const override {
        identity = identity_;
        return true;
    }
    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            OVERLAPPED at{};
            uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_.Get(), static_cast<char *>(buffer) + done, chunk, &got, &at)) {
                DWORD error = GetLastError();
                if (error == ERROR_HANDLE_EOF)
                    break;
                Fail(kStatusMemberFailed, "the archive could not be read: " + SystemText(error));
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

  private:
    win32::Handle file_;
    uint64_t size_;
    FileIdentity identity_;
};

class WinTemporaryFile : public TemporaryFile {
  public:
    WinTemporaryFile(win32::Handle file, std::wstring path)
        : file_(std::move(file)), path_(std::move(path)) {}
    ~WinTemporaryFile() override {
        file_.Reset();
        if (!moved_)
            DeleteFileW(path_.c_str());
    }
    void Write(const uint8_t *data, size_t size) override {
        while (size > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), written = 0;
            if (!WriteFile(file_.Get(), data, chunk, &written, nullptr) || written == 0) {
                Fail(kStatusMemberFailed, "it could not be written: " + SystemText());
            }
            data += written;
            size -= written;
        }
    }
    void Finish(uint16_t dosDate, uint16_t dosTime) override {
        FILETIME local, utc;
        if (DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc)) {
            SetFileTime(file_.Get(), nullptr, nullptr, &utc);
        }
        HANDLE h = file_.Release();
        if (!CloseHandle(h))
            Fail(kStatusMemberFailed, "it could not be written: " + SystemText());
    }
    void MoveTo(const std::string &target) override {
        if (!MoveFileExW(path_.c_str(), WidePath(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
            Fail(kStatusMemberFailed, "it could not be moved into place: " + SystemText());
        }
        moved_ = true;
    }

  private:
    win32::Handle file_;
    std::wstring path_;
    bool moved_ = false;
};

} // namespace

std::unique_ptr<ArchiveFile> OpenArchive(const std::string &path) {
    win32::Handle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        Fail(kStatusNotAnArchive, "cannot open the archive " + path + ": " + SystemText());
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        Fail(kStatusNotAnArchive, "cannot read the archive " + path + ": " + SystemText());
    }
    return std::make_unique<WinArchive>(std::move(file), info);
}

ExistingItem Inspect(const std::string &path) {
    ExistingItem item;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
        return item;
    item.exists = true;
    item.isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    item.isLink = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    item.readOnly = data.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
    FILETIME local;
    WORD date = 0, time = 0;
    if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
        FileTimeToDosDateTime(&local, &date, &time)) {
        item.dosDateTime = static_cast<uint32_t>(date) << 16 | time;
    }
    return item;
}

void EnsureExtractionFolder(const std::string &path) {
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    if (!CreateDirectoryW(WidePath(path).c_str(), nullptr)) {
        Fail(kStatusMemberFailed, "cannot create the extraction folder " + path + ": " + SystemText());
    }
}

void MakeMemberFolder(const std::string &path) {
    std::wstring wide = WidePath(path);
    if (CreateDirectoryW(wide.c_str(), nullptr))
        return;
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            Fail(kStatusMemberFailed, "refused: its folder " + path + " is a link or junction");
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return;
        Fail(kStatusMemberFailed, "its folder " + path + " exists as a file");
    }
    Fail(kStatusMemberFailed, "its folder " + path + " could not be created: " + SystemText(error));
}

std::unique_ptr<TemporaryFile> TemporaryFile::Create(const std::string &folder) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name =
            "~vbuzip-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
        std::wstring path = WidePath(mend::JoinPath(folder, name, kPathSeparator));
        win32::Handle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return std::make_unique<WinTemporaryFile>(std::move(file), path);
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            Fail(kStatusMemberFailed,
                 "a temporary file could not be created in " + folder + ": " + SystemText(error));
        }
    }
    Fail(kStatusMemberFailed, "a temporary file could not be created in " + folder);
}

} // namespace ziplib
