#pragma once
// A minimal PNG writer for test screenshots: 8-bit RGB, no interlace. Portable on purpose, so it
// never depends on what the platform's imaging libraries can or cannot do under Wine.
#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom, 3 bytes per pixel, no padding

    bool operator==(const RgbImage &other) const {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
    bool operator!=(const RgbImage &other) const { return !(*this == other); }
};

// The complete PNG file for `image`; throws std::runtime_error when zlib fails.
std::string EncodePng(const RgbImage &image);

} // namespace wintest
