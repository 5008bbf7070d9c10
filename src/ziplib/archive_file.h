#pragma once
// Random access to the archive's bytes. The platform layer opens the file; the parsing and
// decoding code only reads through this interface, so tests and the fuzzer can feed memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ziplib {

class ArchiveFile {
  public:
    virtual ~ArchiveFile() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `count` bytes at `offset`; fewer only at the end of the file.
    virtual size_t ReadAt(uint64_t offset, void *buffer, size_t count) = 0;

    // Reads exactly `count` bytes or fails (kStatusMemberFailed) with a "truncated" message.
    void ReadExactly(uint64_t offset, void *buffer, size_t count);
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
