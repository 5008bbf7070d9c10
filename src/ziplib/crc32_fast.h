#pragma once
// CRC-32 of member data (the zip polynomial, zlib's crc32 convention: pass 0 to start, the last
// result to go on; less than 4 GiB a call). Where the processor multiplies without carries
// (PCLMULQDQ) it folds 64 bytes at a time and is several times faster than zlib's tables, which
// matters because every byte extracted passes through it; elsewhere it is zlib's crc32.
#include <cstddef>
#include <cstdint>

namespace ziplib {

uint32_t Crc32(uint32_t crc, const uint8_t *data, size_t size);

} // namespace ziplib
