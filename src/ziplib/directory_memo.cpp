#include "ziplib/directory_memo.h"

#include <algorithm>
#include <cstring>

#include "ziplib/status.h"

namespace ziplib {

namespace {

std::unique_ptr<DirectoryMemo> &LastMemo() {
    static std::unique_ptr<DirectoryMemo> memo;
    return memo;
}

// Eight bytes at a time: the memo only narrows the search, names are compared after.
uint16_t NameHash(std::string_view name) {
    uint64_t hash = name.size() * 0x9E3779B97F4A7C15u;
    size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, name.data() + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDu;
        hash ^= hash >> 32;
    }
    uint64_t last = 0;
    for (; i < name.size(); ++i)
        last = last << 8 | static_cast<unsigned char>(name[i]);
    hash = (hash ^ last) * 0xC4CEB9FE1A85EC53u;
    return static_cast<uint16_t>(hash >> 48);
}

bool SameLocation(const DirectoryLocation &a, const DirectoryLocation &b) {
    return a.start == b.start && a.size == b.size && a.entryCount == b.entryCount &&
           a.prefixSize == b.prefixSize;
}

[[noreturn]] void Changed() {
    Fail(kStatusArchiveDamaged, "the archive's directory changed while it was read");
}

} // namespace

DirectoryMemo::DirectoryMemo(const FileIdentity &identity, const DirectoryLocation &location)
    : identity_(identity), location_(location) {
    hashes_.reserve(static_cast<size_t>(location.entryCount));
    places_.reserve(static_cast<size_t>(location.entryCount / kPlaceEvery + 1));
}

bool DirectoryMemo::Add(std::string_view listedName, const DirectoryReader::Place &place, bool offsetKnown,
                        uint64_t offset) {
    if (!offsetKnown || (!hashes_.empty() && offset <= lastOffset_))
        return false;
    lastOffset_ = offset;
    if (hashes_.size() % kPlaceEvery == 0)
        places_.push_back(place.position);
    hashes_.push_back(NameHash(listedName));
    return true;
}

void DirectoryMemo::Keep(std::unique_ptr<DirectoryMemo> memo) {
    LastMemo() = std::move(memo);
}

const DirectoryMemo *DirectoryMemo::For(const FileIdentity &identity, const DirectoryLocation &location) {
    const DirectoryMemo *memo = LastMemo().get();
    if (!memo || !(memo->identity_ == identity) || !SameLocation(memo->location_, location) ||
        memo->hashes_.size() != location.entryCount) {
        return nullptr;
    }
    return memo;
}

DirectoryMemo::Found DirectoryMemo::Find(const std::vector<std::string> &names,
                                         DirectoryReader &reader) const {
    std::vector<uint16_t> wanted;
    for (const auto &name : names)
        wanted.push_back(NameHash(name));
    Found found;
    ZipEntry entry;
    uint64_t offsetsUpTo = 0; // the entries before this one have their offset in found.offsets
    for (uint64_t i = 0; i < hashes_.size(); ++i) {
        if (std::find(wanted.begin(), wanted.end(), hashes_[i]) == wanted.end())
            continue;
        uint64_t kept = i / kPlaceEvery * kPlaceEvery;
        reader.Seek({places_[static_cast<size_t>(i / kPlaceEvery)], kept});
        while (reader.Tell().index < i) {
            if (!reader.NextRaw(entry))
                Changed();
        }
        found.places.push_back(reader.Tell());
        for (int k = 0; k < 2 && reader.Tell().index < hashes_.size(); ++k) { // this entry and the next
            uint64_t index = reader.Tell().index;
            if (!reader.NextRaw(entry) || !reader.OffsetKnown())
                Changed();
            if (index >= offsetsUpTo) { // the next of one found entry may be the next found
                found.offsets.Add(entry.localOffset);
                offsetsUpTo = index + 1;
            }
        }
    }
    return found;
}

} // namespace ziplib
