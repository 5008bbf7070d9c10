#include "ziplib/entry_fields.h"

#include <zlib.h>

#include <string_view>

#include "ziplib/name_text.h"

namespace ziplib {

void ReadZip64Field(ZipEntry &entry, const uint8_t *extra, size_t size, bool &offsetKnown,
                    uint32_t diskStart) {
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

} // namespace ziplib
