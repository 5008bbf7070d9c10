#pragma once
// Where the members' data lies relative to one another: the room each may use, and members that
// share data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ziplib/archive_file.h"
#include "ziplib/end_record.h"
#include "ziplib/zip_entry.h"

namespace ziplib {

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

} // namespace ziplib
