#pragma once
// What the listing callback reports for one directory entry.
#include <cstdint>
#include <string>

#include "ziplib/zip_directory.h"

namespace ziplib {

struct ListedMember {
    uint32_t size = 0;           // uncompressed; 0xFFFFFFFF for members of 4 GiB and more
    uint32_t compressedSize = 0; // likewise
    int32_t factor = 0;          // percent saved, rounded, from -32767 to 100
    uint32_t year = 1980, month = 1, day = 1, hour = 0, minute = 0;
    char flag = ' ';    // 'D': the member has a data descriptor
    std::string path;   // the entry's listed name
    std::string method; // see MethodText
    uint32_t crc = 0;
    char encryption = ' '; // 'E' (bit 6 set) for an encrypted member, ' ' otherwise
};

// "Stored"; deflated members "Defl:N" (normal), "Defl:X" (maximum), "Defl:F" (fast) or
// "Defl:S" (fastest) after the compressor's setting in the flag bits; others by name ("Shrunk",
// "Reduce1".."Reduce4", "Implode", "Defl64", "BZip2", "LZMA", "Zstd", "XZ", "PPMd", "AES",
// ...) or "Unk:N" with the method's number.
std::string MethodText(uint16_t method, uint16_t flags);

// The DOS date and time as calendar values; an impossible date (month 13, 30 February, hour
// 25...) is reported as 1 January 1980, 00:00, so that hosts can always build a date from it.
void DecodeDosDateTime(uint16_t date, uint16_t time, ListedMember &out);

ListedMember Describe(const ZipEntry &entry);

} // namespace ziplib
