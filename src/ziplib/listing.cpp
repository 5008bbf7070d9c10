#include "ziplib/listing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ziplib {

namespace {

uint32_t Clamp32(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFF));
}

int32_t PercentSaved(uint64_t size, uint64_t compressed) {
    if (size == 0)
        return 0;
    int64_t rounded;
    if (size < (uint64_t{1} << 55) && compressed < (uint64_t{1} << 55)) {
        // Exact in 64 bits: twice the difference times 100 stays below 2^63. Rounded half away
        // from zero.
        int64_t twice = (static_cast<int64_t>(size) - static_cast<int64_t>(compressed)) * 200;
        int64_t half = static_cast<int64_t>(size), whole = 2 * half;
        rounded = twice >= 0 ? (twice + half) / whole : -((-twice + half) / whole);
    } else {
        // Long double keeps the arithmetic exact enough for sizes up to 2^64.
        long double saved = (static_cast<long double>(size) - static_cast<long double>(compressed)) * 100.0L /
                            static_cast<long double>(size);
        long double r = saved < 0 ? saved - 0.5L : saved + 0.5L;
        if (r < -32767.0L)
            return -32767;
        rounded = static_cast<int64_t>(r);
    }
    return static_cast<int32_t>(std::max<int64_t>(rounded, -32767));
}

bool IsLeapYear(uint32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

} // namespace

void MethodText(uint16_t method, uint16_t flags, char (&out)[12]) {
    // Every name fits in eight bytes with its NUL, so each is copied whole.
    static const char kNames[][8] = {
        "Stored", "Shrunk", "Reduce1", "Reduce2", "Reduce3", "Reduce4", "Implode", "Token", "Defl:N",
        "Defl:X", "Defl:F", "Defl:S",  "Defl64",  "PKDCL",   "BZip2",   "LZMA",    "Terse", "LZ77",
        "Zstd",   "MP3",    "XZ",      "JPEG",    "WavPack", "PPMd",    "AES"};
    int index;
    switch (method) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
        index = method;
        break;
    case 8:
        index = 8 + ((flags >> 1) & 3); // the compressor's setting: normal, maximum, fast, fastest
        break;
    case 9:
    case 10:
        index = 12 + (method - 9);
        break;
    case 12:
        index = 14;
        break;
    case 14:
        index = 15;
        break;
    case 18:
    case 19:
        index = 16 + (method - 18);
        break;
    case 93:
    case 94:
    case 95:
    case 96:
    case 97:
    case 98:
    case 99:
        index = 18 + (method - 93);
        break;
    default:
        std::snprintf(out, sizeof out, "Unk:%u", static_cast<unsigned>(method));
        return;
    }
    std::memcpy(out, kNames[index], sizeof kNames[index]);
}

std::string MethodText(uint16_t method, uint16_t flags) {
    char text[12];
    MethodText(method, flags, text);
    return text;
}

void DecodeDosDateTime(uint16_t date, uint16_t time, ListedMember &out) {
    uint32_t year = 1980 + (date >> 9), month = (date >> 5) & 0x0F, day = date & 0x1F;
    uint32_t hour = time >> 11, minute = (time >> 5) & 0x3F, second = (time & 0x1F) * 2;
    static const uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool valid = month >= 1 && month <= 12 && day >= 1 &&
                 day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0) && hour < 24 &&
                 minute < 60 && second < 60;
    if (!valid)
        year = 1980, month = 1, day = 1, hour = 0, minute = 0;
    out.year = year, out.month = month, out.day = day, out.hour = hour, out.minute = minute;
}

ListedMember Describe(const ZipEntry &entry) {
    return Describe(entry, entry.listedName);
}

ListedMember Describe(const ZipEntry &entry, std::string_view path) {
    ListedMember m;
    m.size = Clamp32(entry.size);
    m.compressedSize = Clamp32(entry.compressedSize);
    m.factor = PercentSaved(entry.size, entry.compressedSize);
    DecodeDosDateTime(entry.dosDate, entry.dosTime, m);
    m.flag = entry.HasDataDescriptor() ? 'D' : ' ';
    m.path = path;
    MethodText(entry.method, entry.flags, m.method);
    m.crc = entry.crc;
    m.encryption = entry.Encrypted() || entry.StrongEncryption() ? 'E' : ' ';
    return m;
}

} // namespace ziplib
