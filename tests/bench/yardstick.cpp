// The benchmark's yardstick: what extraction costs with zlib alone. It reads the central
// directory, and for each deflated member (or each one named) inflates it, computes its CRC and
// writes the file. Nothing else: no checks of the archive, no folders, no ZIP64, no encryption, no
// dates or attributes.
//   yardstick ARCHIVE FOLDER [NAME...]
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

uint32_t Get16(const unsigned char *p) {
    return p[0] | p[1] << 8;
}

uint32_t Get32(const unsigned char *p) {
    return Get16(p) | Get16(p + 2) << 16;
}

// Inflates `packed` bytes at `offset` into `out`; returns the CRC of what it wrote.
uint32_t Inflate(int in, off_t offset, uint64_t packed, int out) {
    static std::vector<unsigned char> input(256 * 1024), output(256 * 1024);
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    uLong crc = crc32(0, nullptr, 0);
    int status = Z_OK;
    while (packed > 0 && status != Z_STREAM_END) {
        ssize_t got = pread(in, input.data(), std::min<uint64_t>(packed, input.size()), offset);
        if (got <= 0)
            break;
        offset += got, packed -= uint64_t(got);
        z.next_in = input.data(), z.avail_in = uInt(got);
        do {
            z.next_out = output.data(), z.avail_out = uInt(output.size());
            status = inflate(&z, Z_NO_FLUSH);
            size_t made = output.size() - z.avail_out;
            crc = crc32(crc, output.data(), uInt(made));
            (void)!write(out, output.data(), made);
        } while (z.avail_out == 0 && status == Z_OK);
    }
    inflateEnd(&z);
    return uint32_t(crc);
}

} // namespace

int main(int argc, char **argv) {
    std::set<std::string> wanted(argv + std::min(argc, 3), argv + argc);
    int in = argc < 3 ? -1 : open(argv[1], O_RDONLY);
    off_t size = in < 0 ? 0 : lseek(in, 0, SEEK_END);
    unsigned char end[22];
    if (size < 22 || pread(in, end, 22, size - 22) != 22 || Get32(end) != 0x06054b50) {
        std::fprintf(stderr,
                     "usage: yardstick ARCHIVE FOLDER [NAME...], with no comment after the archive\n");
        return 2;
    }
    std::vector<unsigned char> directory(Get32(end + 12));
    if (pread(in, directory.data(), directory.size(), Get32(end + 16)) != ssize_t(directory.size()))
        return 1;
    int bad = 0;
    for (size_t at = 0; at + 46 <= directory.size();) {
        const unsigned char *e = directory.data() + at;
        std::string name(reinterpret_cast<const char *>(e + 46), Get16(e + 28));
        at += 46 + name.size() + Get16(e + 30) + Get16(e + 32);
        unsigned char local[30];
        off_t header = Get32(e + 42);
        if ((!wanted.empty() && wanted.count(name) == 0) || Get16(e + 10) != 8 ||
            pread(in, local, 30, header) != 30)
            continue;
        int out = open((std::string(argv[2]) + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        uint32_t crc = Inflate(in, header + 30 + Get16(local + 26) + Get16(local + 28), Get32(e + 20), out);
        close(out);
        if (crc != Get32(e + 16)) {
            std::fprintf(stderr, "yardstick: CRC error in %s\n", name.c_str());
            bad = 1;
        }
    }
    return bad;
}
