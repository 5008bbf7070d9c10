#pragma once
// The archive's central directory: where it is, what each entry says, and which entries
// cannot be trusted. Everything the listing shows and the extraction relies on comes from here;
// local headers are only checked against it.
#include <cstdint>
#include <string>
#include <vector>

#include "ziplib/archive_file.h"

namespace ziplib {

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
    uint64_t localOffset = 0;  // where the local header really is (any stub in front counted)
    uint64_t dataLimit = 0;    // the member's data must end at or before this offset
    // Non-empty when the entry itself is unusable (missing ZIP64 field, undecodable name,
    // data shared with another entry); extraction refuses it with this reason.
    std::string problem;

    bool Encrypted() const { return flags & 0x0001; }
    bool HasDataDescriptor() const { return flags & 0x0008; }
    bool StrongEncryption() const { return (flags & 0x0040) || method == 99; }
    bool IsFolder() const { return !name.empty() && name.back() == '/'; }
    bool IsUnixSymlink() const { return (madeBy >> 8) == 3 && ((externalAttributes >> 16) & 0170000) == 0120000; }
};

struct ZipDirectory {
    std::vector<ZipEntry> entries;
    uint64_t prefixSize = 0;  // bytes in front of the archive (a self-extractor's stub)
    // Non-empty when the directory could not be read to its end; `entries` holds those before.
    std::string damage;
};

// Finds and reads the central directory. Fails with kStatusNotAnArchive when there is no
// usable end record, and with kStatusArchiveDamaged when the end record cannot be trusted.
ZipDirectory ReadDirectory(ArchiveFile& file);

}  // namespace ziplib
