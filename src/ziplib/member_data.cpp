#include "ziplib/member_data.h"

#include <cstdio>

#include "ziplib/crc32_fast.h"
#include "ziplib/little_endian.h"
#include "ziplib/status.h"

namespace ziplib {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kLocalHeaderSize = 30;
// Deflate cannot expand data by more than about 1032 to 1; a member that claims more than
// that for its compressed size is a bomb or a lie, and is refused before anything is written.
constexpr uint64_t kMaxDeflateRatio = 1100;

[[noreturn]] void Damaged(const std::string &why) {
    Fail(kStatusMemberFailed, why);
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

} // namespace

bool CanDecode(uint16_t method) {
    return method == 0 || method == 8;
}

uint64_t LocateData(ArchiveFile &file, const ZipEntry &entry) {
    uint8_t h[kLocalHeaderSize];
    if (file.ReadAt(entry.localOffset, h, sizeof h) != sizeof h || Get32(h) != kLocalSignature) {
        Damaged("its local header is missing where the directory says it is");
    }
    uint16_t flags = Get16(h + 6), method = Get16(h + 8);
    uint32_t crc = Get32(h + 14), compressed = Get32(h + 18), size = Get32(h + 22);
    size_t nameSize = Get16(h + 26), extraSize = Get16(h + 28);
    std::string name(nameSize, '\0');
    file.ReadExactly(entry.localOffset + kLocalHeaderSize, name.data(), nameSize);
    if (name != entry.rawName)
        Damaged("its local header carries a different name than the directory");
    if (method != entry.method || (flags & 1) != (entry.flags & 1)) {
        Damaged("its local header disagrees with the directory about method or encryption");
    }
    if (!(flags & 0x0008)) {
        bool sizesDiffer = (compressed != 0xFFFFFFFF && compressed != entry.compressedSize) ||
                           (size != 0xFFFFFFFF && size != entry.size);
        if (crc != entry.crc || sizesDiffer)
            Damaged("its local header disagrees with the directory about size or CRC");
    }
    uint64_t dataOffset = entry.localOffset + kLocalHeaderSize + nameSize + extraSize;
    if (dataOffset > entry.dataLimit || entry.compressedSize > entry.dataLimit - dataOffset) {
        Damaged("its data would run into the next member or the directory (a size that lies, or overlapping "
                "members)");
    }
    return dataOffset;
}

MemberDecoder::MemberDecoder() : input_(new uint8_t[kBufferSize]), output_(new uint8_t[kBufferSize]) {}

MemberDecoder::~MemberDecoder() {
    if (streamReady_)
        inflateEnd(&stream_);
}

std::optional<ZipCryptoKeys> MemberDecoder::OpenEncrypted(ArchiveFile &file, const ZipEntry &entry,
                                                          uint64_t dataOffset, const std::string &password) {
    if (entry.compressedSize < kZipCryptoHeaderSize)
        Damaged("its encrypted data is too short");
    uint8_t header[kZipCryptoHeaderSize];
    file.ReadExactly(dataOffset, header, sizeof header);
    ZipCryptoKeys keys(password);
    keys.Decrypt(header, sizeof header);
    // With a data descriptor the CRC was unknown when the header was made; the time stands in.
    uint8_t check = entry.HasDataDescriptor() ? static_cast<uint8_t>(entry.dosTime >> 8)
                                              : static_cast<uint8_t>(entry.crc >> 24);
    if (header[kZipCryptoHeaderSize - 1] != check)
        return std::nullopt;
    return keys;
}

void MemberDecoder::Decode(ArchiveFile &file, const ZipEntry &entry, uint64_t dataOffset, ZipCryptoKeys *keys,
                           Sink &sink) {
    uint64_t offset = dataOffset, length = entry.compressedSize;
    if (keys) {
        offset += kZipCryptoHeaderSize;
        length -= kZipCryptoHeaderSize;
    }
    uint32_t crc = 0;
    if (entry.method == 0) {
        if (length != entry.size)
            Damaged("it is stored, but its compressed and uncompressed sizes differ");
        Copy(file, entry, offset, length, keys, sink, crc);
    } else {
        if (entry.size / kMaxDeflateRatio > length + 1) {
            Damaged("it declares far more data than its compressed size can hold (a zip bomb?)");
        }
        Inflate(file, entry, offset, length, keys, sink, crc);
    }
    if (crc != entry.crc) {
        Damaged(std::string(keys ? "wrong password, or " : "") + "damaged data: its CRC-32 is " + Hex(crc) +
                ", expected " + Hex(entry.crc));
    }
}

void MemberDecoder::Copy(ArchiveFile &file, const ZipEntry &, uint64_t offset, uint64_t length,
                         ZipCryptoKeys *keys, Sink &sink, uint32_t &crc) {
    while (length > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(length, kBufferSize));
        file.ReadExactly(offset, input_.get(), n);
        if (keys)
            keys->Decrypt(input_.get(), n);
        crc = Crc32(crc, input_.get(), n);
        sink.Write(input_.get(), n);
        offset += n;
        length -= n;
    }
}

void MemberDecoder::Inflate(ArchiveFile &file, const ZipEntry &entry, uint64_t offset, uint64_t length,
                            ZipCryptoKeys *keys, Sink &sink, uint32_t &crc) {
    if (!streamReady_) {
        if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
            Fail(kStatusMemberFailed, "zlib could not start");
        streamReady_ = true;
    } else {
        inflateReset(&stream_);
    }
    stream_.avail_in = 0;
    uint64_t produced = 0;
    for (;;) {
        if (stream_.avail_in == 0 && length > 0) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(length, kBufferSize));
            file.ReadExactly(offset, input_.get(), n);
            if (keys)
                keys->Decrypt(input_.get(), n);
            offset += n;
            length -= n;
            stream_.next_in = input_.get();
            stream_.avail_in = static_cast<uInt>(n);
        }
        stream_.next_out = output_.get();
        stream_.avail_out = static_cast<uInt>(kBufferSize);
        int rc = inflate(&stream_, Z_NO_FLUSH);
        size_t got = kBufferSize - stream_.avail_out;
        if (got > 0) {
            if (got > entry.size - produced) {
                Damaged("its data holds more than the " + std::to_string(entry.size) +
                        " bytes its directory entry declares");
            }
            crc = Crc32(crc, output_.get(), got);
            sink.Write(output_.get(), got);
            produced += got;
        }
        if (rc == Z_STREAM_END)
            break;
        if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
            Damaged(std::string(keys ? "wrong password, or " : "") + "damaged compressed data" +
                    (stream_.msg ? std::string(" (") + stream_.msg + ")" : std::string()));
        }
        if (stream_.avail_in == 0 && length == 0 && (rc == Z_BUF_ERROR || got == 0)) {
            Damaged("its compressed data ends before the end of the stream");
        }
    }
    if (produced != entry.size) {
        Damaged("it holds " + std::to_string(produced) + " bytes, but its directory entry declares " +
                std::to_string(entry.size));
    }
}

} // namespace ziplib
