#pragma once
// The end of the archive: the end record (and the ZIP64 records when present), which say where
// the central directory is.
#include <cstdint>

#include "ziplib/archive_file.h"

namespace ziplib {

// Where the central directory is, from the end record (and the ZIP64 records when present).
struct DirectoryLocation {
    uint64_t start = 0; // real offset, any stub in front counted
    uint64_t size = 0;
    uint64_t entryCount = 0;
    uint64_t prefixSize = 0; // bytes in front of the archive (a self-extractor's stub)
};

// Finds the end record. Fails with kStatusNotAnArchive when there is no usable one, and with
// kStatusArchiveDamaged when it cannot be trusted (multi-disk, a broken ZIP64 locator, an
// entry count the directory has no room for).
DirectoryLocation LocateDirectory(ArchiveFile &file);

} // namespace ziplib
