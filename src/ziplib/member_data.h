#pragma once
// Reading one member's data: checking its local header against the directory, and decoding
// (decrypting, inflating) it through fixed-size buffers into a sink while its size and CRC-32
// are checked. Memory use does not depend on the member's size.
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ziplib/archive_file.h"
#include "ziplib/zip_crypto.h"
#include "ziplib/zip_directory.h"

namespace ziplib {

class Sink {
  public:
    virtual ~Sink() = default;
    virtual void Write(const uint8_t *data, size_t size) = 0;
};

// True for the methods this library can decode (stored and deflated).
bool CanDecode(uint16_t method);

// Checks the local header and returns the offset of the member's data (its encryption header
// included). Fails (kStatusMemberFailed) when the header is missing, disagrees with the
// directory, or when the data would run past the room the member has.
uint64_t LocateData(ArchiveFile &file, const ZipEntry &entry);

class MemberDecoder {
  public:
    MemberDecoder();
    ~MemberDecoder();
    MemberDecoder(const MemberDecoder &) = delete;
    MemberDecoder &operator=(const MemberDecoder &) = delete;

    // For an encrypted member: the keys after `password` has decrypted the 12-byte header,
    // or nullopt when the header's check byte shows that the password is wrong.
    std::optional<ZipCryptoKeys> OpenEncrypted(ArchiveFile &file, const ZipEntry &entry, uint64_t dataOffset,
                                               const std::string &password);

    // Decodes the member into `sink`. Fails (kStatusMemberFailed) on damaged data, a wrong size
    // or CRC; stops as soon as the output exceeds the declared size.
    void Decode(ArchiveFile &file, const ZipEntry &entry, uint64_t dataOffset, ZipCryptoKeys *keys,
                Sink &sink);

  private:
    void Inflate(ArchiveFile &file, const ZipEntry &entry, uint64_t offset, uint64_t length,
                 ZipCryptoKeys *keys, Sink &sink, uint32_t &crc);
    void Copy(ArchiveFile &file, const ZipEntry &entry, uint64_t offset, uint64_t length, ZipCryptoKeys *keys,
              Sink &sink, uint32_t &crc);

    static constexpr size_t kBufferSize = 256 * 1024;
    // Left uninitialised: only the pages that data passes through are ever touched.
    std::unique_ptr<uint8_t[]> input_;
    std::unique_ptr<uint8_t[]> output_;
    z_stream stream_{};
    bool streamReady_ = false;
};

} // namespace ziplib
