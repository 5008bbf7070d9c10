#include "ziplib/zip_directory.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "ziplib/little_endian.h"
#include "ziplib/name_text.h"
#include "ziplib/status.h"

namespace ziplib {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kEntrySignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;

// Reads the directory front to back through one bounded buffer. The first read after a seek is
// small, and each further one twice as large up to kChunk: a pass over the whole directory reads
// it in large pieces, a look at one entry touches a page or two of memory.
class SequentialReader {
  public:
    SequentialReader(ArchiveFile &file, uint64_t start, uint64_t end) : file_(file), pos_(start), end_(end) {}

    uint64_t Position() const { return pos_; }
    // Goes to `position`, keeping the buffered bytes when they cover it.
    void Seek(uint64_t position) {
        uint64_t bufferStart = pos_ - bufferPos_;
        if (position >= bufferStart && position - bufferStart <= filled_) {
            bufferPos_ = static_cast<size_t>(position - bufferStart);
        } else {
            bufferPos_ = filled_ = 0;
            readSize_ = kFirstRead;
        }
        pos_ = position;
    }

    // The next `n` bytes, valid until the next call; null when they are not all there.
    const uint8_t *Take(size_t n) {
        if (n <= filled_ - bufferPos_) { // buffered bytes never lie beyond end_
            const uint8_t *p = buffer_.get() + bufferPos_;
            bufferPos_ += n;
            pos_ += n;
            return p;
        }
        return Refill(n);
    }

  private:
    // Take when the buffer does not hold `n` more bytes; kept out of line, Take is then small.
    __attribute__((noinline)) const uint8_t *Refill(size_t n) {
        if (n > end_ - pos_)
            return nullptr;
        size_t keep = filled_ - bufferPos_;
        size_t size = std::max(n, readSize_);
        if (capacity_ < size) {
            // Left uninitialised: only the bytes read are ever touched.
            size_t capacity = std::max(size, kChunk);
            std::unique_ptr<uint8_t[]> larger(new uint8_t[capacity]);
            if (keep > 0)
                std::memcpy(larger.get(), buffer_.get() + bufferPos_, keep);
            buffer_ = std::move(larger);
            capacity_ = capacity;
        } else {
            std::memmove(buffer_.get(), buffer_.get() + bufferPos_, keep);
        }
        readSize_ = std::min(readSize_ * 2, kChunk);
        size_t want = static_cast<size_t>(std::min<uint64_t>(size - keep, end_ - pos_ - keep));
        size_t got = file_.ReadAt(pos_ + keep, buffer_.get() + keep, want);
        filled_ = keep + got;
        bufferPos_ = 0;
        if (n > filled_)
            return nullptr;
        const uint8_t *p = buffer_.get() + bufferPos_;
        bufferPos_ += n;
        pos_ += n;
        return p;
    }

    static constexpr size_t kFirstRead = 4 * 1024;
    static constexpr size_t kChunk = 64 * 1024;
    ArchiveFile &file_;
    uint64_t pos_;
    uint64_t end_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t capacity_ = 0;
    size_t readSize_ = kFirstRead;
    size_t bufferPos_ = 0;
    size_t filled_ = 0;
};

} // namespace

class DirectoryReader::Buffer : public SequentialReader {
  public:
    using SequentialReader::SequentialReader;
};

namespace {

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

constexpr uint16_t kZip64Field = 0x0001;
constexpr uint16_t kUnicodePathField = 0x7075;

// Calls `visit(id, data, length)` for every extra field that lies wholly inside `size` bytes.
template <typename Visit> void ForEachExtraField(const uint8_t *extra, size_t size, Visit &&visit) {
    for (size_t i = 0; i + 4 <= size;) {
        uint16_t id = Get16(extra + i), length = Get16(extra + i + 2);
        if (i + 4 + length > size)
            break;
        visit(id, extra + i + 4, length);
        i += 4 + length;
    }
}

// Takes the sizes, offset and disk that the fixed fields leave saturated from the first ZIP64
// extra field, and marks an entry that cannot be used without them.
void ReadZip64Field(ZipEntry &entry, const uint8_t *extra, size_t size, bool &offsetKnown, uint32_t diskStart) {
    bool needSize = entry.size == 0xFFFFFFFF, needCompressed = entry.compressedSize == 0xFFFFFFFF;
    bool needOffset = entry.localOffset == 0xFFFFFFFF, needDisk = diskStart == 0xFFFF;
    bool sawZip64 = false;
    ForEachExtraField(extra, size, [&](uint16_t id, const uint8_t *data, size_t length) {
        if (id != kZip64Field || sawZip64)
            return;
        sawZip64 = true;
        size_t at = 0;
        auto take = [&](uint64_t &field, size_t width) {
            if (at + width > length)
                return false;
            field = width == 8 ? Get64(data + at) : Get32(data + at);
            at += width;
            return true;
        };
        uint64_t disk = 0;
        bool ok = (!needSize || take(entry.size, 8)) && (!needCompressed || take(entry.compressedSize, 8)) &&
                  (!needOffset || take(entry.localOffset, 8)) && (!needDisk || take(disk, 4));
        if (ok) {
            needSize = needCompressed = needOffset = false;
            if (needDisk && disk == 0)
                needDisk = false;
        }
    });
    if (needSize || needCompressed || needOffset) {
        entry.problem =
            "its directory entry gives ZIP64 sizes or offset without the ZIP64 extra field that holds them";
        offsetKnown = !needOffset;
    }
    if (needDisk || (diskStart != 0 && diskStart != 0xFFFF))
        entry.problem = "its data lies on another disk";
}

// The name from the stored bytes, then from any Unicode path field that belongs to them.
void DecodeName(ZipEntry &entry, const uint8_t *extra, size_t extraSize, bool unicodeField) {
    if (IsPrintableAscii(entry.rawName)) {
        entry.name = entry.rawName; // nearly every real name: the same in every encoding
    } else if (entry.flags & 0x0800) {
        if (IsValidUtf8(entry.rawName)) {
            entry.name = entry.rawName;
        } else {
            entry.name = RepairUtf8(entry.rawName);
            if (entry.problem.empty())
                entry.problem = "its name is marked as UTF-8 but is not valid UTF-8";
        }
    } else if ((entry.madeBy >> 8) == 3 && IsValidUtf8(entry.rawName)) {
        // Unix zip tools write the bytes of the system's (nowadays UTF-8) names without setting
        // the flag; code page 437 is what DOS and Windows tools meant.
        entry.name = entry.rawName;
    } else {
        entry.name = Utf8FromCp437(entry.rawName);
    }
    if (unicodeField) {
        ForEachExtraField(extra, extraSize, [&](uint16_t id, const uint8_t *data, size_t length) {
            if (id != kUnicodePathField || length < 5 || data[0] != 1)
                return;
            std::string_view utf8(reinterpret_cast<const char *>(data + 5), length - 5);
            uLong crc = crc32(0L, reinterpret_cast<const Bytef *>(entry.rawName.data()),
                              static_cast<uInt>(entry.rawName.size()));
            if (Get32(data + 1) == crc && IsValidUtf8(utf8))
                entry.name.assign(utf8);
        });
    }
    entry.listedName = entry.name;
    MakePrintable(entry.listedName);
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

DirectoryReader::DirectoryReader(ArchiveFile &file, const DirectoryLocation &location)
    : buffer_(new Buffer(file, location.start, location.start + location.size)), location_(location) {}

DirectoryReader::~DirectoryReader() {
    delete buffer_;
}

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
    const uint8_t *fixed = buffer_->Take(kEntrySize);
    const uint8_t *rest = nullptr;
    if (fixed && Get32(fixed) == kEntrySignature) {
        std::memcpy(h, fixed, kEntrySize);
        rest = buffer_->Take(size_t{Get16(h + 28)} + Get16(h + 30) + Get16(h + 32));
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
    return {buffer_->Position(), index_};
}

void DirectoryReader::Seek(const Place &place) {
    buffer_->Seek(place.position);
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
void OffsetsAround(const std::vector<T> &offsets, uint64_t offset, uint64_t none, size_t &equal, uint64_t &above) {
    auto first = std::lower_bound(offsets.begin(), offsets.end(), offset,
                                  [](T a, uint64_t b) { return a < b; });
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
