#include "ziplib/zip_directory.h"

#include <cstring>

#include "ziplib/data_layout.h"
#include "ziplib/entry_fields.h"
#include "ziplib/little_endian.h"
#include "ziplib/name_text.h"

namespace ziplib {

DirectoryReader::DirectoryReader(ArchiveFile &file, const DirectoryLocation &location)
    : buffer_(file, location.start, location.start + location.size), location_(location) {}

bool DirectoryReader::Next(ZipEntry &entry) {
    if (!NextRaw(entry))
        return false;
    Decode(entry);
    return true;
}

bool DirectoryReader::NextRaw(ZipEntry &entry) {
    pending_ = false;
    if (index_ >= location_.entryCount || !damage_.empty())
        return false;
    entry.problem.clear();
    entry.dataLimit = 0;
    // Copied: taking the rest may refill the buffer under the fixed part.
    uint8_t h[kEntrySize];
    const uint8_t *fixed = buffer_.Take(kEntrySize);
    const uint8_t *rest = nullptr;
    if (fixed && Get32(fixed) == kEntrySignature) {
        std::memcpy(h, fixed, kEntrySize);
        rest = buffer_.Take(size_t{Get16(h + 28)} + Get16(h + 30) + Get16(h + 32));
    }
    if (!rest) {
        damage_ = "the archive's directory is damaged at entry " + std::to_string(index_ + 1) + " of " +
                  std::to_string(location_.entryCount);
        return false;
    }
    ++index_;
    entry.madeBy = Get16(h + 4);
    entry.flags = Get16(h + 8);
    entry.method = Get16(h + 10);
    entry.dosTime = Get16(h + 12);
    entry.dosDate = Get16(h + 14);
    entry.crc = Get32(h + 16);
    entry.compressedSize = Get32(h + 20);
    entry.size = Get32(h + 24);
    uint32_t diskStart = Get16(h + 34);
    entry.externalAttributes = Get32(h + 38);
    entry.localOffset = Get32(h + 42);
    rawName_ = std::string_view(reinterpret_cast<const char *>(rest), Get16(h + 28));
    extra_ = rest + rawName_.size();
    extraSize_ = Get16(h + 30);
    unicodeField_ = false;
    ForEachExtraField(extra_, extraSize_, [&](uint16_t id, const uint8_t *, size_t) {
        unicodeField_ = unicodeField_ || id == kUnicodePathField;
    });
    offsetKnown_ = true;
    bool zip64 = entry.size == 0xFFFFFFFF || entry.compressedSize == 0xFFFFFFFF ||
                 entry.localOffset == 0xFFFFFFFF || diskStart == 0xFFFF;
    if (zip64 || diskStart != 0)
        ReadZip64Field(entry, extra_, extraSize_, offsetKnown_, diskStart);
    if (offsetKnown_) {
        if (entry.localOffset > UINT64_MAX - location_.prefixSize) {
            offsetKnown_ = false;
            if (entry.problem.empty())
                entry.problem = "its local header offset is out of range";
        } else {
            entry.localOffset += location_.prefixSize;
        }
    }
    pending_ = true;
    return true;
}

DirectoryReader::Place DirectoryReader::Tell() const {
    return {buffer_.Position(), index_};
}

void DirectoryReader::Seek(const Place &place) {
    buffer_.Seek(place.position);
    index_ = place.index;
    pending_ = false;
    damage_.clear();
}

bool DirectoryReader::ListedAsStored() const {
    return pending_ && !unicodeField_ && IsPrintableAscii(rawName_);
}

void DirectoryReader::Decode(ZipEntry &entry) {
    if (!pending_)
        return;
    pending_ = false;
    entry.rawName.assign(rawName_);
    DecodeName(entry, extra_, extraSize_, unicodeField_);
}

ZipDirectory ReadDirectory(ArchiveFile &file) {
    DirectoryLocation location = LocateDirectory(file);
    DataLayout layout(file, location);
    ZipDirectory directory;
    directory.prefixSize = location.prefixSize;
    DirectoryReader reader(file, location);
    ZipEntry entry;
    while (reader.Next(entry)) {
        layout.Apply(entry, reader.OffsetKnown());
        directory.entries.push_back(entry);
    }
    directory.damage = reader.Damage();
    return directory;
}

} // namespace ziplib
