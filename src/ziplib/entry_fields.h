#pragma once
// The variable parts of a directory entry: its extra fields (ZIP64 sizes and offset, the Unicode
// path) and its name in the encodings zip tools have used.
#include <cstddef>
#include <cstdint>

#include "ziplib/little_endian.h"
#include "ziplib/zip_entry.h"

namespace ziplib {

constexpr uint16_t kZip64Field = 0x0001;
constexpr uint16_t kUnicodePathField = 0x7075;

// Calls `visit(id, data, length)` for every extra field that lies wholly inside `size` bytes.
template <typename Visit> void ForEachExtraField(const uint8_t *extra, size_t size, Visit &&visit) {
    for (size_t i = 0; i + 4 <= size;) {
        uint16_t id = Get16(extra + i), length = Get16(extra + i + 2);
        if (i + 4 + length > size)
            break;
        visit(id, extra + i + 4, length);
        i += 4 + length;
    }
}

// Takes the sizes, offset and disk that the fixed fields leave saturated from the first ZIP64
// extra field, and marks an entry that cannot be used without them.
void ReadZip64Field(ZipEntry &entry, const uint8_t *extra, size_t size, bool &offsetKnown,
                    uint32_t diskStart);

// The name from the stored bytes (entry.rawName), then from any Unicode path field that belongs
// to them; sets name and listedName.
void DecodeName(ZipEntry &entry, const uint8_t *extra, size_t extraSize, bool unicodeField);

} // namespace ziplib
