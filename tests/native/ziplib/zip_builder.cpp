#include "zip_builder.h"

#include <zlib.h>

#include <cstring>

namespace ziptest {

std::string Le16(uint16_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8)};
}
std::string Le32(uint32_t v) {
    return Le16(static_cast<uint16_t>(v)) + Le16(static_cast<uint16_t>(v >> 16));
}
std::string Le64(uint64_t v) {
    return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32));
}

uint32_t Crc(const std::string &data) {
    return static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef *>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string &data, int level) {
    z_stream s{};
    deflateInit2(&s, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, data.size()) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

namespace {

class Encryptor {
  public:
    explicit Encryptor(const std::string &password) {
        for (char c : password)
            Update(static_cast<uint8_t>(c));
    }
    std::string Encrypt(const std::string &plain) {
        std::string out(plain);
        for (char &c : out) {
            uint32_t t = (keys_[2] & 0xFFFF) | 2;
            uint8_t p = static_cast<uint8_t>(c);
            c = static_cast<char>(p ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8));
            Update(p);
        }
        return out;
    }

  private:
    void Update(uint8_t b) {
        keys_[0] = CrcByte(keys_[0], b);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
        keys_[2] = CrcByte(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
    }
    static uint32_t CrcByte(uint32_t crc, uint8_t b) {
        return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8);
    }
    uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

} // namespace

std::string Build(const std::vector<Member> &members, const Options &options) {
    std::string out = options.prefix, directory;
    uint64_t base = options.adjustOffsets ? 0 : options.prefix.size();
    for (const Member &m : members) {
        std::string payload = m.method == 8 ? Deflate(m.data) : m.data;
        uint32_t crc = m.crc.value_or(Crc(m.data));
        uint16_t flags = m.flags | (m.password.empty() ? 0 : 1) | (m.descriptor ? 8 : 0);
        if (!m.password.empty()) {
            std::string header = "0123456789a";
            header.push_back(static_cast<char>(m.descriptor ? (m.dosTime >> 8) : (crc >> 24)));
            payload = Encryptor(m.password).Encrypt(header + payload);
        }
        uint64_t compressed = m.compressedSize.value_or(payload.size());
        uint64_t size = m.size.value_or(m.data.size());
        uint64_t offset = m.localOffset.value_or(out.size() - base);
        std::string extra = m.extra, localExtra = m.extra;
        uint32_t size32 = static_cast<uint32_t>(size), compressed32 = static_cast<uint32_t>(compressed);
        uint32_t offset32 = static_cast<uint32_t>(offset);
        if (m.zip64) {
            extra += Le16(1) + Le16(24) + Le64(size) + Le64(compressed) + Le64(offset);
            localExtra += Le16(1) + Le16(16) + Le64(size) + Le64(compressed);
            size32 = compressed32 = offset32 = 0xFFFFFFFF;
        }
        std::string localName = m.localName.value_or(m.name);
        out += Le32(0x04034b50) + Le16(m.zip64 ? 45 : 20) + Le16(flags) +
               Le16(m.localMethod.value_or(m.method)) + Le16(m.dosTime) + Le16(m.dosDate) +
               Le32(m.descriptor ? 0 : crc) + Le32(m.descriptor ? 0 : compressed32) +
               Le32(m.descriptor ? 0 : size32) + Le16(static_cast<uint16_t>(localName.size())) +
               Le16(static_cast<uint16_t>(localExtra.size())) + localName + localExtra + payload;
        if (m.descriptor) {
            if (m.descriptorSignature)
                out += Le32(0x08074b50);
            out += Le32(crc) + Le32(compressed32) + Le32(size32);
        }
        directory += Le32(0x02014b50) + Le16(m.madeBy) + Le16(m.zip64 ? 45 : 20) + Le16(flags) +
                     Le16(m.method) + Le16(m.dosTime) + Le16(m.dosDate) + Le32(crc) + Le32(compressed32) +
                     Le32(size32) + Le16(static_cast<uint16_t>(m.name.size())) +
                     Le16(static_cast<uint16_t>(extra.size())) + Le16(0) + Le16(0) + Le16(0) +
                     Le32(m.externalAttributes) + Le32(offset32) + m.name + extra;
    }
    uint64_t directoryOffset = out.size() - base;
    out += directory;
    uint64_t count = options.entryCount.value_or(members.size());
    uint16_t thisDisk = options.thisDisk.value_or(0), directoryDisk = options.directoryDisk.value_or(0);
    if (options.zip64End) {
        uint64_t zip64Pos = out.size() - base;
        out += Le32(0x06064b50) + Le64(44) + Le16(45) + Le16(45) + Le32(thisDisk) + Le32(directoryDisk) +
               Le64(count) + Le64(count) + Le64(directory.size()) + Le64(directoryOffset);
        out += Le32(0x07064b50) + Le32(0) + Le64(options.locatorOffset.value_or(zip64Pos)) + Le32(1);
        out += Le32(0x06054b50) + Le16(0xFFFF) + Le16(0xFFFF) + Le16(0xFFFF) + Le16(0xFFFF) +
               Le32(0xFFFFFFFF) + Le32(0xFFFFFFFF);
    } else {
        uint16_t count16 = static_cast<uint16_t>(count);
        out += Le32(0x06054b50) + Le16(thisDisk) + Le16(directoryDisk) + Le16(count16) + Le16(count16) +
               Le32(static_cast<uint32_t>(directory.size())) + Le32(static_cast<uint32_t>(directoryOffset));
    }
    out += Le16(static_cast<uint16_t>(options.comment.size())) + options.comment + options.trailer;
    return out;
}

} // namespace ziptest
