#include "zip_builder.h"

#include <zlib.h>

namespace ziptest {

std::string Le16(uint16_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8)};
}
std::string Le32(uint32_t v) {
    return Le16(static_cast<uint16_t>(v)) + Le16(static_cast<uint16_t>(v >> 16));
}
static std::string Le64(uint64_t v) {
    return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32));
}

uint32_t Crc(const std::string &data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(data.data()), uInt(data.size())));
}

// Raw deflate: zlib's stream without its 2-byte header and 4-byte checksum.
static std::string Deflate(const std::string &data) {
    std::string out(compressBound(uLong(data.size())), '\0');
    uLongf size = uLongf(out.size());
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.data()),
              uLong(data.size()), 6);
    return out.substr(2, size - 6);
}

std::string Build(const std::vector<Member> &members, const Options &options) {
    std::string out = options.prefix, directory;
    const size_t base = options.prefix.size();
    for (const Member &m : members) {
        std::string payload = m.method == 8 ? Deflate(m.data) : m.data;
        uint32_t crc = m.crc.value_or(Crc(m.data));
        uint16_t flags = m.flags | (m.descriptor ? 8 : 0);
        std::string sizes = Le32(crc) + Le32(m.compressedSize.value_or(uint32_t(payload.size()))) +
                            Le32(m.size.value_or(uint32_t(m.data.size())));
        std::string localName = m.localName.value_or(m.name), common = Le16(20) + Le16(flags);
        directory += Le32(0x02014b50) + Le16(m.madeBy) + common + Le16(m.method) + Le16(m.dosTime) +
                     Le16(m.dosDate) + sizes + Le16(uint16_t(m.name.size())) +
                     Le16(uint16_t(m.extra.size())) + std::string(6, '\0') + Le32(m.externalAttributes) +
                     Le32(m.localOffset.value_or(uint32_t(out.size() - base))) + m.name + m.extra;
        out += Le32(0x04034b50) + common + Le16(m.localMethod.value_or(m.method)) + Le16(m.dosTime) +
               Le16(m.dosDate) + (m.descriptor ? std::string(12, '\0') : sizes) +
               Le16(uint16_t(localName.size())) + Le16(uint16_t(m.extra.size())) + localName + m.extra +
               payload;
        if (m.descriptor)
            out += (m.descriptorSignature ? Le32(0x08074b50) : "") + sizes;
    }
    uint64_t directoryOffset = out.size() - base, count = options.entryCount.value_or(members.size());
    out += directory;
    if (options.zip64End) {
        uint64_t zip64Pos = out.size() - base;
        out += Le32(0x06064b50) + Le64(44) + Le16(45) + Le16(45) + Le32(options.disk) + Le32(options.disk) +
               Le64(count) + Le64(count) + Le64(directory.size()) + Le64(directoryOffset);
        out += Le32(0x07064b50) + Le32(0) + Le64(options.locatorOffset.value_or(zip64Pos)) + Le32(1);
        out += Le32(0x06054b50) + std::string(8, '\xFF') + std::string(8, '\xFF');
    } else {
        out += Le32(0x06054b50) + Le16(options.disk) + Le16(options.disk) + Le16(uint16_t(count)) +
               Le16(uint16_t(count)) + Le32(uint32_t(directory.size())) + Le32(uint32_t(directoryOffset));
    }
    return out + Le16(uint16_t(options.comment.size())) + options.comment + options.trailer;
}

} // namespace ziptest
