#include "support/png.h"

#include <zlib.h>

#include <stdexcept>

namespace wintest {

namespace {

void PutBigEndian32(std::string &out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(value >> shift));
}

// A chunk is length, type, data and a CRC over type and data.
void PutChunk(std::string &out, const char *type, const std::string &data) {
    std::string typed = std::string(type, 4) + data;
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    out += typed;
    PutBigEndian32(out,
                   crc32(0, reinterpret_cast<const Bytef *>(typed.data()), static_cast<uInt>(typed.size())));
}

} // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint8_t> &rgb) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != rowBytes * height)
        throw std::runtime_error("EncodePng: image size does not match its pixels");
    std::string header;
    PutBigEndian32(header, static_cast<std::uint32_t>(width));
    PutBigEndian32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // depth 8, RGB, deflate, adaptive filters, no interlace

    // Every scan line starts with its filter type; 0 (none) keeps the writer trivial.
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char *>(rgb.data()) + y * rowBytes, rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
                 reinterpret_cast<const Bytef *>(raw.data()), static_cast<uLong>(raw.size())) != Z_OK)
        throw std::runtime_error("EncodePng: zlib compress failed");
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace wintest
