#pragma once
// What the last listing saw of its archive's directory: a hash of every entry's listed name and
// where every 32nd entry starts. The component lists an archive and then extracts the members
// picked from the list; with the memo, that extraction goes straight to its few entries instead
// of reading the whole directory again. A memo serves only the very same file, unchanged
// (FileIdentity), with its directory where it was, and only an archive whose local headers come
// in directory order (as every zip tool writes them): then the room of a member's data ends at
// the next entry's local header, and no other offsets need to be kept. Like the rest of the
// library it is used from the caller's one thread.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ziplib/archive_file.h"
#include "ziplib/data_layout.h"
#include "ziplib/zip_directory.h"

namespace ziplib {

class DirectoryMemo {
  public:
    // Directories with more entries are not kept: the memo costs about 2 bytes per entry.
    static constexpr uint64_t kMaxEntries = 1 << 20;
    // Extractions asking for more names than this read the directory instead.
    static constexpr size_t kMaxNames = 64;

    DirectoryMemo(const FileIdentity &identity, const DirectoryLocation &location);
    // The next entry of the directory, in order. False when the memo cannot serve this archive
    // (an offset unknown, or not above the one before): it is to be dropped.
    bool Add(std::string_view listedName, const DirectoryReader::Place &place, bool offsetKnown,
             uint64_t offset);

    // Keeps `memo` as the last listing's, in place of the one before (null: none).
    static void Keep(std::unique_ptr<DirectoryMemo> memo);
    // The last listing's memo when it is of this file and this directory; null otherwise.
    static const DirectoryMemo *For(const FileIdentity &identity, const DirectoryLocation &location);

    struct Found {
        // The entries whose listed name may be one of the names (a hash matched: the caller
        // compares the names), in directory order.
        std::vector<DirectoryReader::Place> places;
        // The local header offsets of those entries and of the entries right after them: all
        // that the room of their data depends on.
        OffsetList offsets;
    };
    // Reads the entries through `reader`; fails (kStatusArchiveDamaged) when they are not there.
    Found Find(const std::vector<std::string> &names, DirectoryReader &reader) const;

  private:
    // Every page of memory a listing touches costs more than reading a few entries again.
    static constexpr uint64_t kPlaceEvery = 32;
    FileIdentity identity_;
    DirectoryLocation location_;
    std::vector<uint16_t> hashes_; // of each entry's listed name: two bytes, a false match costs a short read
    std::vector<uint64_t> places_; // where entries 0, 32, 64... start
    uint64_t lastOffset_ = 0;
};

} // namespace ziplib
