#pragma once
// A minimal PNG writer for test screenshots: 8-bit RGB, no interlace. Portable on purpose, so it
// never depends on what the platform's imaging libraries can or cannot do under Wine.
#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

// The complete PNG file for rows top to bottom of 3 bytes per pixel, no padding; throws
// std::runtime_error when the sizes do not match or zlib fails.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t> &rgb);

} // namespace wintest
