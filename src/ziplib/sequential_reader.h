#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "ziplib/archive_file.h"

namespace ziplib {

// Reads the directory front to back through one bounded buffer. The first read after a seek is
// small, and each further one twice as large up to kChunk: a pass over the whole directory reads
// it in large pieces, a look at one entry touches a page or two of memory.
class SequentialReader {
  public:
    SequentialReader(ArchiveFile &file, uint64_t start, uint64_t end) : file_(file), pos_(start), end_(end) {}

    uint64_t Position() const { return pos_; }
    // Goes to `position`, keeping the buffered bytes when they cover it.
    void Seek(uint64_t position) {
        uint64_t bufferStart = pos_ - bufferPos_;
        if (position >= bufferStart && position - bufferStart <= filled_) {
            bufferPos_ = static_cast<size_t>(position - bufferStart);
        } else {
            bufferPos_ = filled_ = 0;
            readSize_ = kFirstRead;
        }
        pos_ = position;
    }

    // The next `n` bytes, valid until the next call; null when they are not all there.
    const uint8_t *Take(size_t n) {
        if (n <= filled_ - bufferPos_) { // buffered bytes never lie beyond end_
            const uint8_t *p = buffer_.get() + bufferPos_;
            bufferPos_ += n;
            pos_ += n;
            return p;
        }
        return Refill(n);
    }

  private:
    // Take when the buffer does not hold `n` more bytes; kept out of line, Take is then small.
    const uint8_t *Refill(size_t n);

    static constexpr size_t kFirstRead = 4 * 1024;
    static constexpr size_t kChunk = 64 * 1024;
    ArchiveFile &file_;
    uint64_t pos_;
    uint64_t end_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t capacity_ = 0;
    size_t readSize_ = kFirstRead;
    size_t bufferPos_ = 0;
    size_t filled_ = 0;
};

} // namespace ziplib
