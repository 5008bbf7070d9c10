#include "support/png.h"

#include <zlib.h>

#include <stdexcept>

namespace wintest {

namespace {

void PutBigEndian32(std::string &out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

// A chunk is length, type, data and a CRC over type and data.
void PutChunk(std::string &out, const char type[4], const std::string &data) {
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    std::string typed(type, 4);
    typed += data;
    out += typed;
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef *>(typed.data()), static_cast<uInt>(typed.size()));
    PutBigEndian32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::string EncodePng(const RgbImage &image) {
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    if (image.width <= 0 || image.height <= 0 || image.rgb.size() != rowBytes * image.height)
        throw std::runtime_error("EncodePng: image size does not match its pixels");

    std::string header;
    PutBigEndian32(header, static_cast<std::uint32_t>(image.width));
    PutBigEndian32(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // depth 8, RGB, deflate, adaptive filters, no interlace

    // Every scan line starts with its filter type; 0 (none) keeps the writer trivial.
    std::string raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char *>(image.rgb.data()) + y * rowBytes, rowBytes);
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
