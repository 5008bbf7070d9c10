#pragma once
// The archive's central directory: where it is, what each entry says, and which entries
// cannot be trusted. Everything the listing shows and the extraction relies on comes from here;
// local headers are only checked against it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ziplib/archive_file.h"
#include "ziplib/end_record.h"
#include "ziplib/sequential_reader.h"
#include "ziplib/zip_entry.h"

namespace ziplib {

// Reads the directory entry by entry through one bounded buffer, so that memory does not grow
// with the number of members. Entries come without their data limit (see DataLayout).
class DirectoryReader {
  public:
    DirectoryReader(ArchiveFile &file, const DirectoryLocation &location);
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
    SequentialReader buffer_;
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

struct ZipDirectory {
    std::vector<ZipEntry> entries; // with their data limits
    uint64_t prefixSize = 0;
    // Non-empty when the directory could not be read to its end; `entries` holds those before.
    std::string damage;
};

// Every entry at once: for tests and the fuzzer; the library itself streams.
ZipDirectory ReadDirectory(ArchiveFile &file);

} // namespace ziplib
