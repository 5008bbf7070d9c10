#pragma once
// The archive's central directory: where it is, what each entry says, and which entries
// cannot be trusted. Everything the listing shows and the extraction relies on comes from here;
// local headers are only checked against it.
#include <cstdint>
#include <string>
#include <string_view>
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

// Reads the directory entry by entry through one bounded buffer, so that memory does not grow
// with the number of members. Entries come without their data limit (see DataLayout).
class DirectoryReader {
  public:
    DirectoryReader(ArchiveFile &file, const DirectoryLocation &location);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // The next entry into `entry` (its strings' storage reused); false at the end or when the
    // directory is damaged (then Damage() says where).
    bool Next(ZipEntry &entry);
    // Like Next, but leaves the names (rawName, name, listedName) as they were: for passes that
    // need only where the data lies, or that look at RawName() first. Decode() completes the entry.
    bool NextRaw(ZipEntry &entry);
    void Decode(ZipEntry &entry);
    // The stored name bytes of the entry that NextRaw read, until the next call.
    std::string_view RawName() const { return rawName_; }
    // True when that entry's listed name will be exactly RawName() (printable ASCII, and no
    // Unicode path field that could replace it).
    bool ListedAsStored() const;
    // Where the next entry starts, to come back to it with Seek and read it again.
    struct Place {
        uint64_t position = 0;
        uint64_t index = 0;
    };
    Place Tell() const;
    void Seek(const Place &place);
    // Whether the last entry's local header offset is known (a ZIP64 entry may lack it).
    bool OffsetKnown() const { return offsetKnown_; }
    const std::string &Damage() const { return damage_; }

  private:
    class Buffer;
    Buffer *buffer_;
    DirectoryLocation location_;
    uint64_t index_ = 0;
    bool offsetKnown_ = false;
    std::string damage_;
    // The entry that NextRaw read, pointing into the buffer.
    bool pending_ = false;
    std::string_view rawName_;
    const uint8_t *extra_ = nullptr;
    size_t extraSize_ = 0;
    bool unicodeField_ = false;
};

// Local header offsets: four bytes each while they all fit in 32 bits (every archive under
// 4 GiB), eight once one does not.
class OffsetList {
  public:
    void Reserve(uint64_t count);
    void Add(uint64_t offset);
    void Sort();
    // How many offsets equal `offset`, and the first one above it (`none` when there is none).
    void Around(uint64_t offset, uint64_t none, size_t &equal, uint64_t &above) const;

  private:
    std::vector<uint32_t> narrow_;
    std::vector<uint64_t> wide_; // used from the first offset of 4 GiB or more
};

// Where every member's data lies, so that each member gets the room up to the next local
// header (or the directory) and members sharing data are recognised. Eight bytes per member.
class DataLayout {
  public:
    // Reads the whole directory once; Damage() is non-empty when it could not be read to its end.
    DataLayout(ArchiveFile &file, const DirectoryLocation &location);
    // From the local header offsets of every entry whose offset is known.
    DataLayout(OffsetList offsets, uint64_t directoryStart);
    // Sets entry.dataLimit, and entry.problem for data shared with another member.
    void Apply(ZipEntry &entry, bool offsetKnown) const;
    const std::string &Damage() const { return damage_; }

  private:
    OffsetList offsets_; // sorted
    uint64_t directoryStart_;
    std::string damage_;
};

struct ZipDirectory {
    std::vector<ZipEntry> entries; // with their data limits
    uint64_t prefixSize = 0;
    // Non-empty when the directory could not be read to its end; `entries` holds those before.
    std::string damage;
};

// Every entry at once: for tests and the fuzzer; the library itself streams.
ZipDirectory ReadDirectory(ArchiveFile &file);

} // namespace ziplib
