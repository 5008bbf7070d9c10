#pragma once
// What the listing callback reports for one directory entry.
#include <cstdint>
#include <string>
#include <string_view>

#include "ziplib/zip_directory.h"

namespace ziplib {

struct ListedMember {
    uint32_t size = 0;           // uncompressed; 0xFFFFFFFF for members of 4 GiB and more
    uint32_t compressedSize = 0; // likewise
    int32_t factor = 0;          // percent saved, rounded, from -32767 to 100
    uint32_t year = 1980, month = 1, day = 1, hour = 0, minute = 0;
    char flag = ' '; // 'D': the member has a data descriptor
    // The entry's listed name: a view of NUL-terminated text that lives as long as the entry.
    std::string_view path;
    char method[12] = {}; // see MethodText
    uint32_t crc = 0;
    char encryption = ' '; // 'E' (bit 6 set) for an encrypted member, ' ' otherwise
};

// "Stored"; deflated members "Defl:N" (normal), "Defl:X" (maximum), "Defl:F" (fast) or
// "Defl:S" (fastest) after the compressor's setting in the flag bits; others by name ("Shrunk",
// "Reduce1".."Reduce4", "Implode", "Defl64", "BZip2", "LZMA", "Zstd", "XZ", "PPMd", "AES",
// ...) or "Unk:N" with the method's number.
std::string MethodText(uint16_t method, uint16_t flags);
// The same text into a buffer of the listing's (every text fits with its NUL).
void MethodText(uint16_t method, uint16_t flags, char (&out)[12]);

// The DOS date and time as calendar values; an impossible date (month 13, 30 February, hour
// 25...) is reported as 1 January 1980, 00:00, so that hosts can always build a date from it.
void DecodeDosDateTime(uint16_t date, uint16_t time, ListedMember &out);

// The listing of `entry`; `path` is its listed name (NUL-terminated, entry.listedName when not
// given) and must outlive the result.
ListedMember Describe(const ZipEntry &entry);
ListedMember Describe(const ZipEntry &entry, std::string_view path);

} // namespace ziplib
