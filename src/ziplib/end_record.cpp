#include "ziplib/end_record.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ziplib/little_endian.h"
#include "ziplib/status.h"
#include "ziplib/zip_entry.h"

namespace ziplib {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kMaxCommentSize = 0xFFFF;

struct EndInfo {
    uint64_t position = 0;  // of the end record
    uint64_t recordEnd = 0; // the end record and its comment end here
    uint64_t entryCount = 0;
    uint64_t directoryStart = 0; // real offset, the prefix counted
    uint64_t directorySize = 0;
    uint64_t prefixSize = 0;
    std::string refusal; // a well-formed end record that the library does not read
};

bool SignatureAt(ArchiveFile &file, uint64_t offset, uint32_t signature) {
    uint8_t b[4];
    return file.ReadAt(offset, b, 4) == 4 && Get32(b) == signature;
}

std::string MultiDiskRefusal() {
    return "the archive spans several disks (a split or spanned archive); only single-file archives can be "
           "read";
}

// Checks the end record at `pos`; nullopt when it is not a usable one.
std::optional<EndInfo> TryEndRecord(ArchiveFile &file, uint64_t pos, const uint8_t *record) {
    uint64_t fileSize = file.Size();
    EndInfo info;
    info.position = pos;
    info.recordEnd = pos + kEndSize + Get16(record + 20);
    if (info.recordEnd > fileSize)
        return std::nullopt;

    uint64_t thisDisk = Get16(record + 4), directoryDisk = Get16(record + 6);
    uint64_t entriesOnDisk = Get16(record + 8);
    info.entryCount = Get16(record + 10);
    info.directorySize = Get32(record + 12);
    uint64_t directoryOffset = Get32(record + 16);
    uint64_t directoryEnd = pos; // where the directory (or the ZIP64 end record) must stop

    if (pos >= kLocatorSize && SignatureAt(file, pos - kLocatorSize, kZip64LocatorSignature)) {
        uint8_t locator[kLocatorSize];
        file.ReadExactly(pos - kLocatorSize, locator, sizeof locator);
        uint64_t locatorPos = pos - kLocatorSize;
        if (Get32(locator + 4) != 0 || Get32(locator + 16) > 1) {
            info.refusal = MultiDiskRefusal();
            return info;
        }
        // The locator's offset does not count a stub in front; the record normally sits just
        // before the locator, so look there when the stated place holds no record.
        uint64_t stated = Get64(locator + 8);
        std::optional<uint64_t> zip64Pos;
        if (stated <= locatorPos && locatorPos - stated >= kZip64EndSize &&
            SignatureAt(file, stated, kZip64EndSignature)) {
            zip64Pos = stated;
        } else if (locatorPos >= kZip64EndSize &&
                   SignatureAt(file, locatorPos - kZip64EndSize, kZip64EndSignature)) {
            zip64Pos = locatorPos - kZip64EndSize;
        }
        bool saturated = entriesOnDisk == 0xFFFF || info.entryCount == 0xFFFF ||
                         info.directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF;
        if (zip64Pos) {
            uint8_t z[kZip64EndSize];
            file.ReadExactly(*zip64Pos, z, sizeof z);
            thisDisk = Get32(z + 16);
            directoryDisk = Get32(z + 20);
            entriesOnDisk = Get64(z + 24);
            info.entryCount = Get64(z + 32);
            info.directorySize = Get64(z + 40);
            directoryOffset = Get64(z + 48);
            directoryEnd = *zip64Pos;
        } else if (saturated) {
            info.refusal =
                "the ZIP64 locator points to no ZIP64 end record, so the directory cannot be found";
            return info;
        }
    }
    if (thisDisk != 0 || directoryDisk != 0 || entriesOnDisk != info.entryCount) {
        info.refusal = MultiDiskRefusal();
        return info;
    }
    if (directoryOffset > directoryEnd || info.directorySize > directoryEnd - directoryOffset)
        return std::nullopt;
    info.prefixSize = directoryEnd - info.directorySize - directoryOffset;
    info.directoryStart = directoryOffset + info.prefixSize;
    if (info.entryCount > info.directorySize / kEntrySize) {
        // Either a different end record (one inside a comment) or a lie about the count.
        if (info.directorySize > 0 && SignatureAt(file, info.directoryStart, kEntrySignature)) {
            info.refusal = "the end record claims " + std::to_string(info.entryCount) +
                           " entries, but the directory has room for at most " +
                           std::to_string(info.directorySize / kEntrySize);
            return info;
        }
        return std::nullopt;
    }
    if (info.entryCount > 0 && !SignatureAt(file, info.directoryStart, kEntrySignature))
        return std::nullopt;
    return info;
}

// Where the end record signature appears in the last `tailSize` bytes, in file order. The tail is
// read in pieces through one small buffer: a single read of 64 KiB would touch sixteen pages of
// memory, for an end record that is nearly always in the last 22 bytes.
std::vector<uint64_t> EndSignatures(ArchiveFile &file, uint64_t tailSize) {
    constexpr size_t kPiece = 4096 - 3; // read with the three bytes a signature can reach beyond it
    uint8_t buffer[kPiece + 3];
    uint64_t fileSize = file.Size(), lastPos = fileSize - kEndSize;
    std::vector<uint64_t> found;
    for (uint64_t start = fileSize - tailSize; start <= lastPos; start += kPiece) {
        size_t size = static_cast<size_t>(std::min<uint64_t>(kPiece + 3, fileSize - start));
        file.ReadExactly(start, buffer, size);
        // Where a record can start in this piece; each leaves room for a whole signature.
        size_t starts = static_cast<size_t>(std::min<uint64_t>(kPiece, lastPos - start + 1));
        for (size_t i = 0; i < starts; ++i) {
            const void *p = std::memchr(buffer + i, 'P', starts - i);
            if (!p)
                break;
            i = static_cast<size_t>(static_cast<const uint8_t *>(p) - buffer);
            if (Get32(buffer + i) == kEndSignature)
                found.push_back(start + i);
        }
    }
    return found;
}

EndInfo FindEndRecord(ArchiveFile &file) {
    uint64_t fileSize = file.Size();
    if (fileSize < kEndSize)
        Fail(kStatusNotAnArchive, "the file is too small to be a zip archive");
    uint64_t tailSize = std::min<uint64_t>(fileSize, kEndSize + kMaxCommentSize);

    // The last well-formed end record that does not sit inside the comment of an earlier one:
    // that skips fake records planted in a comment, and tolerates junk after the archive.
    std::optional<EndInfo> chosen;
    for (uint64_t pos : EndSignatures(file, tailSize)) {
        if (chosen && pos < chosen->recordEnd)
            continue;
        uint8_t record[kEndSize];
        file.ReadExactly(pos, record, sizeof record);
        if (auto info = TryEndRecord(file, pos, record))
            chosen = info;
    }
    if (!chosen) {
        Fail(kStatusNotAnArchive,
             "no zip end record was found: the file is not a zip archive, or it is truncated");
    }
    if (!chosen->refusal.empty())
        Fail(kStatusArchiveDamaged, chosen->refusal);
    return *chosen;
}

} // namespace

DirectoryLocation LocateDirectory(ArchiveFile &file) {
    EndInfo end = FindEndRecord(file);
    DirectoryLocation location;
    location.start = end.directoryStart;
    location.size = end.directorySize;
    location.entryCount = end.entryCount;
    location.prefixSize = end.prefixSize;
    return location;
}

} // namespace ziplib
