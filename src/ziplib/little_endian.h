#pragma once
// Reading the archive's little-endian fields from byte buffers.
#include <cstdint>

namespace ziplib {

inline uint16_t Get16(const uint8_t *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t Get32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t Get64(const uint8_t *p) {
    return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

} // namespace ziplib
