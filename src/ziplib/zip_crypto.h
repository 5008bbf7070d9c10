#pragma once
// The traditional PKWARE encryption ("ZipCrypto"): three 32-bit keys stirred by the password
// and by every decrypted byte.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ziplib {

constexpr size_t kZipCryptoHeaderSize = 12;

class ZipCryptoKeys {
  public:
    explicit ZipCryptoKeys(const std::string &password);
    void Decrypt(uint8_t *data, size_t size);

  private:
    void Update(uint8_t plain);
    uint8_t StreamByte() const;
    uint32_t keys_[3];
};

} // namespace ziplib
