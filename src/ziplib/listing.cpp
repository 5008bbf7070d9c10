#include "ziplib/listing.h"

#include <algorithm>

namespace ziplib {

namespace {

uint32_t Clamp32(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFF));
}

int32_t PercentSaved(uint64_t size, uint64_t compressed) {
    if (size == 0)
        return 0;
    // Long double keeps the arithmetic exact enough for sizes up to 2^64.
    long double saved = (static_cast<long double>(size) - static_cast<long double>(compressed)) * 100.0L /
                        static_cast<long double>(size);
    long double rounded = saved < 0 ? saved - 0.5L : saved + 0.5L;
    if (rounded < -32767.0L)
        return -32767;
    return static_cast<int32_t>(rounded);
}

bool IsLeapYear(uint32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

} // namespace

std::string MethodText(uint16_t method, uint16_t flags) {
    switch (method) {
    case 0:
        return "Stored";
    case 1:
        return "Shrunk";
    case 2:
    case 3:
    case 4:
    case 5:
        return "Reduce" + std::to_string(method - 1);
    case 6:
        return "Implode";
    case 7:
        return "Token";
    case 8: {
        static const char *const kLevels[] = {"Defl:N", "Defl:X", "Defl:F", "Defl:S"};
        return kLevels[(flags >> 1) & 3];
    }
    case 9:
        return "Defl64";
    case 10:
        return "PKDCL";
    case 12:
        return "BZip2";
    case 14:
        return "LZMA";
    case 18:
        return "Terse";
    case 19:
        return "LZ77";
    case 93:
        return "Zstd";
    case 94:
        return "MP3";
    case 95:
        return "XZ";
    case 96:
        return "JPEG";
    case 97:
        return "WavPack";
    case 98:
        return "PPMd";
    case 99:
        return "AES";
    default:
        return "Unk:" + std::to_string(method);
    }
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
    ListedMember m;
    m.size = Clamp32(entry.size);
    m.compressedSize = Clamp32(entry.compressedSize);
    m.factor = PercentSaved(entry.size, entry.compressedSize);
    DecodeDosDateTime(entry.dosDate, entry.dosTime, m);
    m.flag = entry.HasDataDescriptor() ? 'D' : ' ';
    m.path = entry.listedName;
    m.method = MethodText(entry.method, entry.flags);
    m.crc = entry.crc;
    m.encryption = entry.Encrypted() || entry.StrongEncryption() ? 'E' : ' ';
    return m;
}

} // namespace ziplib
