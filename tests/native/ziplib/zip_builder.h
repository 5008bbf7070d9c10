#pragma once
// Builds zip archives byte by byte, so that a test can make any broken or hostile archive: each
// field that a reader trusts can be made to lie.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ziptest {

struct Member {
    Member() = default;
    Member(std::string name_, std::string data_) : name(std::move(name_)), data(std::move(data_)) {}
    std::string name, data;
    uint16_t method = 8;       // 0 stored, 8 deflated here; any other: `data` as it is
    uint16_t flags = 0;        // bit 0 (encrypted: no password opens it) or 11 (UTF-8)
    uint16_t dosTime = 0x6000; // 12:00:00
    uint16_t dosDate = 0x5A21; // 2025-01-01
    uint16_t madeBy = 0x031E;  // Unix
    uint32_t externalAttributes = 0100644u << 16;
    std::string extra;
    bool descriptor = false, descriptorSignature = true;
    // What the directory (sizes and CRC in the local header too) claims instead of the truth.
    std::optional<uint32_t> crc, size, compressedSize, localOffset;
    std::optional<std::string> localName;
    std::optional<uint16_t> localMethod;
};

struct Options {
    std::string prefix, trailer, comment; // a stub in front, junk after the end record
    bool zip64End = false;
    std::optional<uint64_t> entryCount, locatorOffset;
    uint16_t disk = 0; // this disk and the directory's disk
};

std::string Build(const std::vector<Member> &members, const Options &options = {});
uint32_t Crc(const std::string &data);
std::string Le16(uint16_t v);
std::string Le32(uint32_t v);

} // namespace ziptest
