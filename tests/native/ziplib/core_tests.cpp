// The portable core's rules, tested directly where the exported interface would only show
// them indirectly: member path checks, DOS dates, the directory search.
#include <gtest/gtest.h>

#include "zip_builder.h"
#include "ziplib/archive_file.h"
#include "ziplib/listing.h"
#include "ziplib/member_path.h"
#include "ziplib/name_text.h"
#include "ziplib/zip_directory.h"

using namespace ziplib;

TEST(MemberPath, KeepsOrdinaryPathsAndDropsDotAndEmptyParts) {
    MemberPath p = CheckedMemberPath("./a//b/./c.txt");
    EXPECT_EQ(p.folders, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(p.fileName, "c.txt");
    MemberPath folder = CheckedMemberPath("a/b/");
    EXPECT_EQ(folder.folders, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(folder.fileName.empty());
    EXPECT_EQ(CheckedMemberPath("..a/b..c/...d.txt").fileName, "...d.txt") << "dots inside names are fine";
    EXPECT_EQ(CheckedMemberPath("Gr\xC3\xBC\xC3\x9F"
                                "e.txt")
                  .fileName,
              "Gr\xC3\xBC\xC3\x9F"
              "e.txt");
}

TEST(MemberPath, RefusesEveryWayOut) {
    for (const char *name : {"..", "../x", "a/../../x", "a/..", "/etc/passwd", "//srv/share/x", "C:x", "c:/x",
                             "a\\b", "x:y", "a/b:c", "."}) {
        EXPECT_THROW(CheckedMemberPath(name), std::exception) << name;
    }
    EXPECT_THROW(CheckedMemberPath(std::string("a\0b", 3)), std::exception);
    EXPECT_THROW(CheckedMemberPath(""), std::exception);
}

TEST(MemberPath, DeviceNamesWithAnyCaseOrExtension) {
    for (const char *name : {"CON", "con", "nul.txt", "Aux.tar.gz", "COM1", "lpt9.log", "COM\xC2\xB9",
                             "conin$", "NUL .txt", "PRN"}) {
        EXPECT_TRUE(IsDeviceName(name)) << name;
    }
    for (const char *name : {"CONSOLE", "nul1", "COM10", "LPT", "icon", "null.txt", "com"}) {
        EXPECT_FALSE(IsDeviceName(name)) << name;
    }
    EXPECT_THROW(CheckedMemberPath("dir/com1.dat/x.txt"), std::exception) << "in a folder part too";
}

TEST(DosDateTime, DecodesAndRejectsImpossibleDates) {
    ListedMember m;
    DecodeDosDateTime((44 << 9) | (2 << 5) | 29, (23 << 11) | (59 << 5) | 29, m); // 2024-02-29 23:59:58
    EXPECT_EQ(std::vector<uint32_t>({m.year, m.month, m.day, m.hour, m.minute}),
              std::vector<uint32_t>({2024, 2, 29, 23, 59}));
    for (uint16_t date :
         {uint16_t((45 << 9) | (2 << 5) | 29), uint16_t((45 << 9) | (4 << 5) | 31),
          uint16_t((45 << 9) | (0 << 5) | 1), uint16_t((45 << 9) | (1 << 5) | 0), uint16_t(0)}) {
        ListedMember bad;
        bad.year = 0;
        DecodeDosDateTime(date, 0, bad);
        EXPECT_EQ(std::vector<uint32_t>({bad.year, bad.month, bad.day}), std::vector<uint32_t>({1980, 1, 1}))
            << date;
    }
    ListedMember badTime;
    DecodeDosDateTime((45 << 9) | (1 << 5) | 1, (24 << 11), badTime);
    EXPECT_EQ(badTime.year, 1980u);
}

TEST(Directory, ComputesTheStubInFrontAndEachMembersRoom) {
    ziptest::Options o;
    o.prefix = std::string(1000, 'S');
    std::string bytes = ziptest::Build({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}}, o);
    MemoryArchive archive(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ZipDirectory d = ReadDirectory(archive);
    ASSERT_EQ(d.entries.size(), 2u);
    EXPECT_EQ(d.prefixSize, 1000u);
    EXPECT_EQ(d.entries[0].localOffset, 1000u);
    EXPECT_EQ(d.entries[0].dataLimit, d.entries[1].localOffset);
    EXPECT_TRUE(d.entries[0].problem.empty());
    EXPECT_TRUE(d.damage.empty());
}

TEST(Directory, DamagedEntryEndsTheDirectoryWithWhatCameBefore) {
    std::string bytes = ziptest::Build({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    size_t second = bytes.find(std::string("PK\x01\x02", 4));
    second = bytes.find(std::string("PK\x01\x02", 4), second + 4);
    bytes[second + 3] = 9;
    MemoryArchive archive(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ZipDirectory d = ReadDirectory(archive);
    EXPECT_EQ(d.entries.size(), 1u);
    EXPECT_NE(d.damage.find("entry 2 of 3"), std::string::npos) << d.damage;
}

TEST(Directory, ReadsAnEntryAgainFromWhereItStarted) {
    // Enough entries that the first ones have left the reader's buffer when it comes back.
    std::vector<ziptest::Member> members;
    for (int i = 0; i < 3000; ++i)
        members.push_back({"member-" + std::to_string(i) + std::string(20, 'x') + ".txt", "data"});
    std::string bytes = ziptest::Build(members);
    MemoryArchive archive(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    DirectoryLocation location = LocateDirectory(archive);
    DirectoryReader reader(archive, location);
    std::vector<DirectoryReader::Place> places;
    ZipEntry entry;
    for (DirectoryReader::Place place = reader.Tell(); reader.NextRaw(entry); place = reader.Tell())
        places.push_back(place);
    ASSERT_EQ(places.size(), members.size());
    for (size_t i : {size_t{2999}, size_t{0}, size_t{1}, size_t{1500}, size_t{1501}}) {
        reader.Seek(places[i]);
        ASSERT_TRUE(reader.Next(entry));
        EXPECT_EQ(entry.name, members[i].name);
        EXPECT_EQ(entry.listedName, members[i].name);
    }
}

TEST(NameText, PrintableAsciiIsExactlySpaceToTilde) {
    for (int b = 0; b < 256; ++b) {
        // Every position of an eight-byte word and of the tail after it.
        for (size_t at : {size_t{0}, size_t{7}, size_t{8}, size_t{10}}) {
            std::string name(11, 'a');
            name[at] = static_cast<char>(b);
            EXPECT_EQ(IsPrintableAscii(name), b >= 0x20 && b <= 0x7E) << b << " at " << at;
        }
    }
}
