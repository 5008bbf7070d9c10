#include "ziplib/archive_file.h"

#include <cstring>

#include "ziplib/status.h"

namespace ziplib {

void ArchiveFile::ReadExactly(uint64_t offset, void *buffer, size_t count) {
    if (ReadAt(offset, buffer, count) != count)
        Fail(kStatusMemberFailed, "the archive is truncated");
}

size_t MemoryArchive::ReadAt(uint64_t offset, void *buffer, size_t count) {
    if (offset >= bytes_.size())
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, bytes_.size() - offset));
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}

} // namespace ziplib
