#include "zip_writer.h"

#include <cstdint>

namespace kittest {

namespace {

uint32_t Crc32(const std::string &data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put16(std::string &out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string &out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// 15 June 2004, 13:44:30, in DOS form.
constexpr uint32_t kDosTime = (13u << 11) | (44u << 5) | (30u / 2);
constexpr uint32_t kDosDate = ((2004u - 1980u) << 9) | (6u << 5) | 15u;

} // namespace

std::string MakeZip(const std::vector<ZipMember> &members) {
    std::string archive, directory;
    for (const ZipMember &m : members) {
        const bool folder = !m.name.empty() && m.name.back() == '/';
        const uint32_t crc = Crc32(m.data), size = static_cast<uint32_t>(m.data.size());
        const uint32_t offset = static_cast<uint32_t>(archive.size());
        Put32(archive, 0x04034b50);
        Put16(archive, folder ? 20 : 10); // version needed
        Put16(archive, 0);                // flags
        Put16(archive, 0);                // stored
        Put16(archive, kDosTime);
        Put16(archive, kDosDate);
        Put32(archive, crc);
        Put32(archive, size);
        Put32(archive, size);
        Put16(archive, static_cast<uint32_t>(m.name.size()));
        Put16(archive, 0);
        archive += m.name;
        archive += m.data;

        Put32(directory, 0x02014b50);
        Put16(directory, 20); // made by: MS-DOS, 2.0
        Put16(directory, folder ? 20 : 10);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, kDosTime);
        Put16(directory, kDosDate);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, static_cast<uint32_t>(m.name.size()));
        Put16(directory, 0); // extra
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, folder ? 0x10 : 0x20);
        Put32(directory, offset);
        directory += m.name;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<uint32_t>(members.size()));
    Put16(archive, static_cast<uint32_t>(members.size()));
    Put32(archive, static_cast<uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

} // namespace kittest
