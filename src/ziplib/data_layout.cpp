#include "ziplib/data_layout.h"

#include <algorithm>

#include "ziplib/zip_directory.h"

namespace ziplib {

DataLayout::DataLayout(ArchiveFile &file, const DirectoryLocation &location)
    : directoryStart_(location.start) {
    DirectoryReader reader(file, location);
    offsets_.Reserve(location.entryCount);
    ZipEntry entry;
    while (reader.NextRaw(entry)) {
        if (reader.OffsetKnown())
            offsets_.Add(entry.localOffset);
    }
    damage_ = reader.Damage();
    offsets_.Sort();
}

DataLayout::DataLayout(OffsetList offsets, uint64_t directoryStart)
    : offsets_(std::move(offsets)), directoryStart_(directoryStart) {
    offsets_.Sort();
}

// Overlapping entries are the classic way to make a small archive expand into a huge amount
// of output; a member's data may only use the room up to the next local header.
void DataLayout::Apply(ZipEntry &entry, bool offsetKnown) const {
    if (!offsetKnown)
        return;
    size_t equal;
    uint64_t above;
    offsets_.Around(entry.localOffset, directoryStart_, equal, above);
    if (equal > 1) {
        if (entry.problem.empty())
            entry.problem = "its data is shared with another member (overlapping entries)";
        entry.dataLimit = entry.localOffset;
        return;
    }
    entry.dataLimit = above;
    if (entry.localOffset >= directoryStart_ && entry.problem.empty()) {
        entry.problem = "its local header lies outside the archive's data";
    }
}

void OffsetList::Reserve(uint64_t count) {
    narrow_.reserve(static_cast<size_t>(std::min<uint64_t>(count, 1u << 20)));
}

void OffsetList::Add(uint64_t offset) {
    if (wide_.empty() && offset <= UINT32_MAX) {
        narrow_.push_back(static_cast<uint32_t>(offset));
        return;
    }
    if (wide_.empty()) {
        wide_.assign(narrow_.begin(), narrow_.end());
        narrow_ = {};
    }
    wide_.push_back(offset);
}

namespace {

template <typename T> void SortOffsets(std::vector<T> &offsets) {
    if (!std::is_sorted(offsets.begin(), offsets.end())) // zip tools write the directory in data order
        std::sort(offsets.begin(), offsets.end());
}

template <typename T>
void OffsetsAround(const std::vector<T> &offsets, uint64_t offset, uint64_t none, size_t &equal,
                   uint64_t &above) {
    auto first =
        std::lower_bound(offsets.begin(), offsets.end(), offset, [](T a, uint64_t b) { return a < b; });
    auto last = std::upper_bound(first, offsets.end(), offset, [](uint64_t a, T b) { return a < b; });
    equal = static_cast<size_t>(last - first);
    above = last != offsets.end() ? *last : none;
}

} // namespace

void OffsetList::Sort() {
    SortOffsets(narrow_);
    SortOffsets(wide_);
}

void OffsetList::Around(uint64_t offset, uint64_t none, size_t &equal, uint64_t &above) const {
    if (wide_.empty())
        OffsetsAround(narrow_, offset, none, equal, above);
    else
        OffsetsAround(wide_, offset, none, equal, above);
}

} // namespace ziplib
