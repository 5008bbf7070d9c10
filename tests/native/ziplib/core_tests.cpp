// The portable core's rules where the exported interface shows them only in part.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "ziplib/archive_file.h"
#include "ziplib/crc32_fast.h"
#include "ziplib/member_path.h"

using namespace ziplib;

TEST(MemberPath, KeepsOrdinaryNamesAndRefusesWaysOutAndDevices) {
    MemberPath p = CheckedMemberPath("./a//b/./c.txt");
    EXPECT_EQ(p.folders, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(p.fileName, "c.txt");
    EXPECT_TRUE(CheckedMemberPath("a/b/").fileName.empty());
    for (const char *name : {"..a/b..c/...d.txt", "CONSOLE", "nul1", "COM10", "LPT", "icon", "null.txt",
                             "com", u8"Gr\u00fc\u00dfe.txt"})
        EXPECT_NO_THROW(CheckedMemberPath(name)) << name;
    for (const char *name : {"", ".", "..", "a/..", "//srv/share/x", "c:/x", "con", "Aux.tar.gz", "lpt9.log",
                             "COM\xC2\xB9", "conin$", "NUL .txt", "PRN", "dir/com1.dat/x.txt"})
        EXPECT_THROW(CheckedMemberPath(name), std::exception) << name;
}

TEST(Crc32, AgreesWithZlibWhateverTheLengthAndAlignment) {
    std::mt19937 random(32);
    std::vector<uint8_t> data(70007);
    for (uint8_t &b : data)
        b = uint8_t(random());
    // Around the 16- and 64-byte steps of the folding, where its tail goes to zlib's tables.
    for (size_t size : {0, 1, 15, 16, 63, 64, 65, 79, 80, 127, 128, 129, 4096, 70000})
        for (size_t offset : {0, 1, 7})
            for (uint32_t start : {0u, 0x9ABCDEF0u})
                EXPECT_EQ(Crc32(start, data.data() + offset, size),
                          crc32(start, data.data() + offset, uInt(size)))
                    << size << " bytes at " << offset << " after " << start;
}

TEST(ReadAhead, GivesTheSameBytesAsTheFileForAnyRead) {
    std::mt19937 random(1078);
    std::vector<uint8_t> bytes(300000);
    for (uint8_t &b : bytes)
        b = uint8_t(random());
    MemoryArchive direct(bytes);
    ReadAheadArchive ahead(std::make_unique<MemoryArchive>(bytes));
    uint64_t offset = 0;
    for (int i = 0; i < 5000; ++i) {
        // Mostly small reads going forward, as extraction makes them; now and then a jump, a
        // large read or one past the end.
        size_t count = random() % 8 == 0 ? random() % 70000 : random() % 600;
        offset = random() % 16 == 0 ? random() % (bytes.size() + 100) : offset + random() % 900;
        std::vector<uint8_t> want(count), got(count);
        want.resize(direct.ReadAt(offset, want.data(), count));
        got.resize(ahead.ReadAt(offset, got.data(), count));
        ASSERT_EQ(got, want) << offset << " " << count;
    }
}
