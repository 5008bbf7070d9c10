#pragma once
// One entry of the archive's central directory, as the library uses it: the fixed fields, the
// decoded name, and where its data may lie.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ziplib {

constexpr uint32_t kEntrySignature = 0x02014b50;
constexpr size_t kEntrySize = 46; // the fixed part of a directory entry

struct ZipEntry {
    std::string rawName;    // the name's bytes as stored in the directory
    std::string name;       // decoded to UTF-8 (control characters and NULs kept)
    std::string listedName; // what the listing shows and include names match: `name`, controls as '?'
    uint16_t madeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint32_t externalAttributes = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint64_t localOffset = 0; // where the local header really is (any stub in front counted)
    uint64_t dataLimit = 0;   // the member's data must end at or before this offset
    // Non-empty when the entry itself is unusable (missing ZIP64 field, undecodable name,
    // data shared with another entry); extraction refuses it with this reason.
    std::string problem;

    bool Encrypted() const { return flags & 0x0001; }
    bool HasDataDescriptor() const { return flags & 0x0008; }
    bool StrongEncryption() const { return (flags & 0x0040) || method == 99; }
    bool IsFolder() const { return !name.empty() && name.back() == '/'; }
    bool IsUnixSymlink() const {
        return (madeBy >> 8) == 3 && ((externalAttributes >> 16) & 0170000) == 0120000;
    }
};

} // namespace ziplib
