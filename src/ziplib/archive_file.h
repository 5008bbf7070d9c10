#pragma once
// Random access to the archive's bytes. The platform layer opens the file; the parsing and
// decoding code only reads through this interface, so tests and the fuzzer can feed memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ziplib {

// Tells a file from every other file and from itself after a change: where it lives, its size
// and its times as the system keeps them.
struct FileIdentity {
    uint64_t volume = 0, file = 0, size = 0, modified = 0, changed = 0;
    bool operator==(const FileIdentity &other) const {
        return volume == other.volume && file == other.file && size == other.size &&
               modified == other.modified && changed == other.changed;
    }
};

class ArchiveFile {
  public:
    virtual ~ArchiveFile() = default;
    virtual uint64_t Size() const = 0;
    // The file's identity when it was opened; false for bytes that are not a file.
    virtual bool Identify(FileIdentity &) const { return false; }
    // Reads up to `count` bytes at `offset`; fewer only at the end of the file.
    virtual size_t ReadAt(uint64_t offset, void *buffer, size_t count) = 0;

    // Reads exactly `count` bytes or fails (kStatusMemberFailed) with a "truncated" message.
    void ReadExactly(uint64_t offset, void *buffer, size_t count);
};

// Serves small reads from a window of the file read ahead in one go: extracting many small
// members then costs one read of the file per window instead of several per member (local
// header, name, data). Reads of a page or more go straight to the file. The window starts
// small and grows while the reads go forward, so that a few scattered reads touch little memory.
class ReadAheadArchive : public ArchiveFile {
  public:
    static constexpr size_t kFirstWindow = 4 * 1024;
    static constexpr size_t kWindowSize = 64 * 1024;
    explicit ReadAheadArchive(std::unique_ptr<ArchiveFile> file)
        : file_(std::move(file)), window_(new uint8_t[kWindowSize]) {}
    uint64_t Size() const override { return file_->Size(); }
    bool Identify(FileIdentity &identity) const override { return file_->Identify(identity); }
    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override;

  private:
    std::unique_ptr<ArchiveFile> file_;
    std::unique_ptr<uint8_t[]> window_; // left uninitialised: only what is read is touched
    uint64_t windowStart_ = 0;
    size_t windowSize_ = 0;
    size_t nextFill_ = kFirstWindow;
};

class MemoryArchive : public ArchiveFile {
  public:
    explicit MemoryArchive(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    MemoryArchive(const uint8_t *data, size_t size) : bytes_(data, data + size) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override;

  private:
    std::vector<uint8_t> bytes_;
};

} // namespace ziplib
