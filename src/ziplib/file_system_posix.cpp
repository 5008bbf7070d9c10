#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/text.h"
#include "ziplib/file_system.h"
#include "ziplib/status.h"

namespace ziplib {

namespace {

std::string SystemText() {
    return std::strerror(errno);
}

class PosixArchive : public ArchiveFile {
  public:
    PosixArchive(int fd, const struct stat &st) : fd_(fd), size_(static_cast<uint64_t>(st.st_size)) {
        auto ns = [](const struct timespec &t) {
            return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
        };
        identity_.volume = static_cast<uint64_t>(st.st_dev);
        identity_.file = static_cast<uint64_t>(st.st_ino);
        identity_.size = size_;
        identity_.modified = ns(st.st_mtim);
        identity_.changed = ns(st.st_ctim); // set by the system on every change; no call can set it back
    }
    ~PosixArchive() override { close(fd_); }
    uint64_t Size() const override { return size_; }
    bool Identify(FileIdentity &identity) const override {
        identity = identity_;
        return true;
    }
    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override {
        if (offset >= size_)
            return 0;
        count =
            static_cast<size_t>(std::min<uint64_t>(count, size_ - offset)); // no second call to find the end
        size_t done = 0;
        while (done < count) {
            ssize_t n = pread(fd_, static_cast<char *>(buffer) + done, count - done,
                              static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(kStatusMemberFailed, "the archive could not be read: " + SystemText());
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

  private:
    int fd_;
    uint64_t size_;
    FileIdentity identity_;
};

uint32_t DosFromTime(time_t t) {
    struct tm local {};
    localtime_r(&t, &local);
    if (local.tm_year < 80)
        return (1 << 5 | 1) << 16;
    uint32_t date =
        static_cast<uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    uint32_t time = static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return date << 16 | time;
}

// The moment a DOS date and time (local) stand for; -1 when there is none. Members of one archive
// mostly share a few dates, and mktime looks at the time zone file on every call, so the start
// of the last hour asked for is kept: daylight saving moves the clock at the start of an hour.
time_t TimeFromDos(uint16_t dosDate, uint16_t dosTime) {
    thread_local uint32_t lastHour = 0xFFFFFFFF; // DOS date in the high half, hour below
    thread_local time_t lastHourStart = -1;
    uint32_t hour = static_cast<uint32_t>(dosDate) << 16 | (dosTime >> 11);
    if (hour != lastHour) {
        struct tm local {};
        local.tm_year = 80 + (dosDate >> 9);
        local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
        local.tm_mday = dosDate & 0x1F;
        local.tm_hour = dosTime >> 11;
        local.tm_isdst = -1;
        lastHourStart = mktime(&local);
        lastHour = hour;
    }
    if (lastHourStart == static_cast<time_t>(-1))
        return lastHourStart;
    return lastHourStart + ((dosTime >> 5) & 0x3F) * 60 + (dosTime & 0x1F) * 2;
}

// A new name for a temporary file in `folder`, unique in this process.
std::string TemporaryName(const std::string &folder) {
    static const std::string process = std::to_string(getpid());
    static unsigned counter = 0;
    return mend::JoinPath(folder, ".vbuzip-" + process + "-" + std::to_string(++counter) + ".tmp",
                          kPathSeparator);
}

// Opens a new temporary file by name in `folder`; -1 with errno set
// when no name could be had.
int CreateNamed(const std::string &folder, std::string &path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = TemporaryName(folder);
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the open file without a name the name `target`; -1 with errno set on failure. Linking the
// descriptor itself is the cheap way, which kernels before Linux 6.10 allow only to privileged
// processes (they answer ENOENT); the file's entry in /proc serves everyone.
int LinkUnnamed(int fd, const std::string &target) {
#ifdef AT_EMPTY_PATH
    static bool emptyPathRefused = false;
    if (!emptyPathRefused) {
        if (linkat(fd, "", AT_FDCWD, target.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return -1;
        emptyPathRefused = true;
    }
#endif
    std::string from = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW);
}

// The file has a name from the start, or, where the file system allows (Linux: O_TMPFILE), none
// until it is complete: then nothing of it can be seen in the folder before, and moving it into
// place is one link instead of a create and a rename.
class PosixTemporaryFile : public TemporaryFile {
  public:
    PosixTemporaryFile(int fd, std::string folder, std::string path)
        : fd_(fd), folder_(std::move(folder)), path_(std::move(path)) {}
    ~PosixTemporaryFile() override {
        if (fd_ >= 0)
            close(fd_);
        if (!moved_ && !path_.empty())
            unlink(path_.c_str());
    }
    void Write(const uint8_t *data, size_t size) override {
        while (size > 0) {
            ssize_t n = write(fd_, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(kStatusMemberFailed, "it could not be written: " + SystemText());
            data += n;
            size -= static_cast<size_t>(n);
        }
    }
    void Finish(uint16_t dosDate, uint16_t dosTime) override {
        time_t t = TimeFromDos(dosDate, dosTime);
        if (t != static_cast<time_t>(-1)) {
            struct timespec times[2] = {{t, 0}, {t, 0}};
            futimens(fd_, times);
        }
        if (!path_.empty())
            Close(); // a file without a name lives only as long as it is open: closed once linked
    }
    void MoveTo(const std::string &target) override {
        if (path_.empty()) {
            if (LinkUnnamed(fd_, target) == 0) {
                moved_ = true;
                Close();
                return;
            }
            if (errno != EEXIST)
                Fail(kStatusMemberFailed, "it could not be moved into place: " + SystemText());
            // Replacing a file: a name of its own first, then one rename over the old file.
            for (int attempt = 0; path_.empty() && attempt < 100; ++attempt) {
                std::string path = TemporaryName(folder_);
                if (LinkUnnamed(fd_, path) == 0)
                    path_ = path;
                else if (errno != EEXIST)
                    break;
            }
            if (path_.empty())
                Fail(kStatusMemberFailed, "it could not be moved into place: " + SystemText());
            Close();
        }
        if (rename(path_.c_str(), target.c_str()) != 0) {
            Fail(kStatusMemberFailed, "it could not be moved into place: " + SystemText());
        }
        moved_ = true;
    }

  private:
    void Close() {
        int rc = close(fd_);
        fd_ = -1;
        if (rc != 0)
            Fail(kStatusMemberFailed, "it could not be written: " + SystemText());
    }

    int fd_;
    std::string folder_;
    std::string path_; // empty while the file has no name
    bool moved_ = false;
};

// Whether files without a name can be linked into place here (the kernel's /proc is needed).
bool CanLinkUnnamedFiles() {
    static const bool can = access("/proc/self/fd", X_OK) == 0;
    return can;
}

} // namespace

std::unique_ptr<ArchiveFile> OpenArchive(const std::string &path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(kStatusNotAnArchive, "cannot open the archive " + path + ": " + SystemText());
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        Fail(kStatusNotAnArchive, "the archive " + path + " is not a file");
    }
    return std::make_unique<PosixArchive>(fd, st);
}

ExistingItem Inspect(const std::string &path) {
    ExistingItem item;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return item;
    item.exists = true;
    item.isLink = S_ISLNK(st.st_mode);
    item.isFolder = S_ISDIR(st.st_mode);
    item.readOnly = !(st.st_mode & S_IWUSR);
    item.dosDateTime = DosFromTime(st.st_mtime);
    return item;
}

void EnsureExtractionFolder(const std::string &path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return;
    if (mkdir(path.c_str(), 0777) != 0) {
        Fail(kStatusMemberFailed, "cannot create the extraction folder " + path + ": " + SystemText());
    }
}

void MakeMemberFolder(const std::string &path) {
    if (mkdir(path.c_str(), 0777) == 0)
        return;
    int error = errno;
    struct stat st {};
    if (error == EEXIST && lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return;
        if (S_ISLNK(st.st_mode))
            Fail(kStatusMemberFailed, "refused: its folder " + path + " is a symbolic link");
        Fail(kStatusMemberFailed, "its folder " + path + " exists as a file");
    }
    errno = error;
    Fail(kStatusMemberFailed, "its folder " + path + " could not be created: " + SystemText());
}

std::unique_ptr<TemporaryFile> TemporaryFile::Create(const std::string &folder) {
#ifdef O_TMPFILE
    if (CanLinkUnnamedFiles()) {
        int fd = open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_unique<PosixTemporaryFile>(fd, folder, std::string());
    }
#endif
    std::string path;
    int fd = CreateNamed(folder, path);
    if (fd < 0) {
        Fail(kStatusMemberFailed, "a temporary file could not be created in " + folder + ": " + SystemText());
    }
    return std::make_unique<PosixTemporaryFile>(fd, folder, path);
}

} // namespace ziplib
