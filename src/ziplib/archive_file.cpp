#include "ziplib/archive_file.h"

#include <algorithm>
#include <cstring>

#include "ziplib/status.h"

namespace ziplib {

void ArchiveFile::ReadExactly(uint64_t offset, void *buffer, size_t count) {
    if (ReadAt(offset, buffer, count) != count)
        Fail(kStatusMemberFailed, "the archive is truncated");
}

size_t ReadAheadArchive::ReadAt(uint64_t offset, void *buffer, size_t count) {
    bool inWindow = offset >= windowStart_ && offset - windowStart_ <= windowSize_ &&
                    count <= windowSize_ - (offset - windowStart_);
    if (!inWindow) {
        if (count >= kFirstWindow)
            return file_->ReadAt(offset, buffer, count);
        if (offset < windowStart_ + windowSize_)
            nextFill_ = kFirstWindow; // going back: start small again
        size_t fill = std::max(nextFill_, count);
        nextFill_ = std::min(nextFill_ * 2, kWindowSize);
        windowSize_ = 0; // stays empty if the read below fails
        windowSize_ = file_->ReadAt(offset, window_.get(), fill);
        windowStart_ = offset;
        count = std::min(count, windowSize_); // the end of the file
    }
    if (count > 0)
        std::memcpy(buffer, window_.get() + (offset - windowStart_), count);
    return count;
}

size_t MemoryArchive::ReadAt(uint64_t offset, void *buffer, size_t count) {
    if (offset >= bytes_.size())
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, bytes_.size() - offset));
    if (n > 0)
        std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}

} // namespace ziplib
