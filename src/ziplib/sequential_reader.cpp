#include "ziplib/sequential_reader.h"

#include <algorithm>
#include <cstring>

namespace ziplib {

const uint8_t *SequentialReader::Refill(size_t n) {
    if (n > end_ - pos_)
        return nullptr;
    size_t keep = filled_ - bufferPos_;
    size_t size = std::max(n, readSize_);
    if (capacity_ < size) {
        // Left uninitialised: only the bytes read are ever touched.
        size_t capacity = std::max(size, kChunk);
        std::unique_ptr<uint8_t[]> larger(new uint8_t[capacity]);
        if (keep > 0)
            std::memcpy(larger.get(), buffer_.get() + bufferPos_, keep);
        buffer_ = std::move(larger);
        capacity_ = capacity;
    } else {
        std::memmove(buffer_.get(), buffer_.get() + bufferPos_, keep);
    }
    readSize_ = std::min(readSize_ * 2, kChunk);
    size_t want = static_cast<size_t>(std::min<uint64_t>(size - keep, end_ - pos_ - keep));
    size_t got = file_.ReadAt(pos_ + keep, buffer_.get() + keep, want);
    filled_ = keep + got;
    bufferPos_ = 0;
    if (n > filled_)
        return nullptr;
    const uint8_t *p = buffer_.get() + bufferPos_;
    bufferPos_ += n;
    pos_ += n;
    return p;
}

} // namespace ziplib
