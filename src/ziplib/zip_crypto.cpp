#include "ziplib/zip_crypto.h"

#include <zlib.h>

namespace ziplib {

namespace {

uint32_t Crc32Byte(uint32_t crc, uint8_t b) {
    return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

} // namespace

ZipCryptoKeys::ZipCryptoKeys(const std::string &password) : keys_{0x12345678, 0x23456789, 0x34567890} {
    for (char c : password)
        Update(static_cast<uint8_t>(c));
}

void ZipCryptoKeys::Update(uint8_t plain) {
    keys_[0] = Crc32Byte(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc32Byte(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

uint8_t ZipCryptoKeys::StreamByte() const {
    uint32_t t = (keys_[2] & 0xFFFF) | 2;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void ZipCryptoKeys::Decrypt(uint8_t *data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        data[i] ^= StreamByte();
        Update(data[i]);
    }
}

} // namespace ziplib
