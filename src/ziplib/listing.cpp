#include "ziplib/listing.h"

#include <algorithm>
#include <cstdio>

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

void MethodText(uint16_t method, uint16_t flags, char (&out)[12]) {
    const char *name = nullptr;
    switch (method) {
    case 0:
        name = "Stored";
        break;
    case 1:
        name = "Shrunk";
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        std::snprintf(out, sizeof out, "Reduce%d", method - 1);
        return;
    case 6:
        name = "Implode";
        break;
    case 7:
        name = "Token";
        break;
    case 8: {
        static const char *const kLevels[] = {"Defl:N", "Defl:X", "Defl:F", "Defl:S"};
        name = kLevels[(flags >> 1) & 3];
        break;
    }
    case 9:
        name = "Defl64";
        break;
    case 10:
        name = "PKDCL";
        break;
    case 12:
        name = "BZip2";
        break;
    case 14:
        name = "LZMA";
        break;
    case 18:
        name = "Terse";
        break;
    case 19:
        name = "LZ77";
        break;
    case 93:
        name = "Zstd";
        break;
    case 94:
        name = "MP3";
        break;
    case 95:
        name = "XZ";
        break;
    case 96:
        name = "JPEG";
        break;
    case 97:
        name = "WavPack";
        break;
    case 98:
        name = "PPMd";
        break;
    case 99:
        name = "AES";
        break;
    default:
        std::snprintf(out, sizeof out, "Unk:%u", static_cast<unsigned>(method));
        return;
    }
    size_t n = 0;
    for (; name[n] && n + 1 < sizeof out; ++n)
        out[n] = name[n];
    out[n] = '\0';
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
