#pragma once
// Builds zip archives byte by byte, so that tests can make every kind of broken or hostile
// archive: each field of each record can be overridden.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ziptest {

struct Member {
    Member() = default;
    Member(std::string name_, std::string data_) : name(std::move(name_)), data(std::move(data_)) {}
    std::string name;
    std::string data;
    uint16_t method = 8;       // 0 stored, 8 deflated (compressed here), anything else: `data` as is
    uint16_t flags = 0;        // bit 11 (UTF-8) is set by the caller where wanted
    uint16_t dosTime = 0x6000; // 12:00:00
    uint16_t dosDate = 0x5A21; // 2025-01-01
    uint16_t madeBy = 0x031E;  // Unix, 3.0
    uint32_t externalAttributes = 0100644u << 16;
    std::string password;    // non-empty: ZipCrypto
    bool descriptor = false; // write sizes and CRC in a data descriptor
    bool descriptorSignature = true;
    bool zip64 = false; // sizes and offset through the ZIP64 extra field
    // Overrides of what the directory and the local header say.
    std::optional<uint32_t> crc, size, compressedSize, localOffset;
    std::optional<std::string> localName;
    std::optional<uint16_t> localMethod;
    std::string extra; // extra field bytes, in both headers
};

struct Options {
    std::string prefix;  // bytes in front (a self-extractor stub)
    std::string trailer; // bytes after the end record
    std::string comment;
    bool zip64End = false; // write ZIP64 end record and locator
    std::optional<uint64_t> entryCount;
    std::optional<uint16_t> thisDisk, directoryDisk;
    std::optional<uint64_t> locatorOffset;
    bool adjustOffsets = false; // offsets count the prefix (as `zip -A` makes them)
};

std::string Build(const std::vector<Member> &members, const Options &options = {});

// Raw deflate of `data`.
std::string Deflate(const std::string &data, int level = 6);
uint32_t Crc(const std::string &data);
std::string Le16(uint16_t v);
std::string Le32(uint32_t v);
std::string Le64(uint64_t v);

} // namespace ziptest
