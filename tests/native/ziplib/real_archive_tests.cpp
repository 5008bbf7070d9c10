// Archives made by other tools (make_archives.py, at build time) and those that Debian packages
// install: the listing is compared with Python's zipfile's, extraction with the source tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;

namespace {

const fs::path kArchives = ZIPLIB_TEST_ARCHIVES;

} // namespace

TEST(Names, Cp437AndUnicodePathFieldsBecomeUtf8) {
    std::string high, utf8 = u8"caf\u00e9.txt";
    for (int b = 0x80; b <= 0xFF; ++b)
        high.push_back(static_cast<char>(b));
    Member dos{high, "x"}, unixUtf8{u8"Gr\u00fc\u00dfe.txt", "y"}, unixLatin1{"caf\xE9.txt", "z"};
    dos.madeBy = 0x0014; // MS-DOS
    // 0x82 is e-acute in code page 437; the Unicode path field names the member, unless its CRC
    // shows that it belongs to another name.
    Member unicodeField{"caf\x82.txt", "u"}, stale{"old.txt", "s"};
    unicodeField.extra =
        Le16(0x7075) + Le16(uint16_t(5 + utf8.size())) + "\x01" + Le32(Crc("caf\x82.txt")) + utf8;
    stale.extra = Le16(0x7075) + Le16(9) + "\x01" + Le32(12345) + "new!";
    Result r = List(ScratchFolder().Write("a.zip", Build({dos, unixUtf8, unixLatin1, unicodeField, stale})));
    ASSERT_EQ(r.listed.size(), 5u);
    EXPECT_EQ(r.listed[0].path, ReadFile(kArchives / "cp437.txt"));
    EXPECT_EQ(r.listed[1].path, unixUtf8.name) << "from Unix without the UTF-8 flag, but valid UTF-8";
    EXPECT_EQ(r.listed[2].path, "caf\xCE\x98.txt") << "not valid UTF-8: code page 437 after all";
    EXPECT_EQ(r.listed[3].path, utf8);
    EXPECT_EQ(r.listed[4].path, "old.txt");
}

namespace {

// One line per member, alike for Python's zipfile's listing (make_archives.py) and ours: name, sizes,
// method, date and time to the minute (our listing has no seconds), CRC, encrypted.
std::string Line(const Listed &l) {
    // Our listing tells the deflate setting ("Defl:N"); zipfile only the method.
    std::string method = l.method.substr(0, l.method.find(':'));
    char line[96];
    std::snprintf(line, sizeof line, "|%u|%u|%s|%04u%02u%02u %02u:%02u|%08x|%d", l.size, l.compressedSize,
                  method.c_str(), l.year, l.month, l.day, l.hour, l.minute, l.crc, (l.encryption & 64) != 0);
    return l.path + line;
}

// Every file of the tree as it was, under its folders; or the reason for the refusal.
void ExtractAndCompare(const fs::path &archive, const std::map<std::string, std::string> &refusals) {
    ScratchFolder dir;
    Call call;
    call.options.useFolderNames = 1;
    call.passwords = {"kit password"};
    Result r = Unzip(call, archive.string(), dir / "out");
    auto refusal = refusals.find(archive.filename().string());
    if (refusal != refusals.end()) {
        EXPECT_NE(r.status, 0) << archive;
        EXPECT_NE(r.messages.find(refusal->second), std::string::npos) << r.messages;
        return;
    }
    ASSERT_EQ(r.status, 0) << archive << r.messages;
    std::istringstream files(ReadFile(kArchives / "files.txt"));
    for (std::string file; std::getline(files, file);) {
        fs::path out = dir / ("out/" + file);
        EXPECT_EQ(fs::is_regular_file(out) ? ReadFile(out) : "missing", ReadFile(kArchives / "tree" / file))
            << archive << file;
    }
}

} // namespace

TEST(MadeByOtherTools, ListedAsZipfileListsThemAndExtractedAsTheyWereOrRefusedClearly) {
    // What the member's message says where an archive of make_archives.py cannot be extracted.
    const std::map<std::string, std::string> refusals = {
        {"7z_aes.zip", "strong encryption (AES)"},
        {"7z_deflate64.zip", "method Defl64, which this library cannot extract"}};
    // Python's zipfile's listings, made with the archives: a line with the archive's path, then a
    // line for each of its members, after a tab.
    std::ifstream infolists(kArchives / "infolists.txt");
    std::map<std::string, std::vector<std::string>> expected;
    std::string archive;
    for (std::string line; std::getline(infolists, line);)
        line[0] == '\t' ? expected[archive].push_back(line.substr(1)) : (void)expected[archive = line];
    size_t compared = 0;
    for (const auto &[path, lines] : expected) {
        std::vector<std::string> ours;
        Result r = List(path);
        for (const Listed &l : r.listed)
            ours.push_back(Line(l));
        EXPECT_EQ(r.status, 0) << path << r.messages;
        EXPECT_EQ(ours, lines) << path;
        compared += !lines.empty();
        if (fs::path(path).parent_path() == kArchives)
            ExtractAndCompare(path, refusals);
    }
    EXPECT_GE(compared, 5u);
    std::printf("compared the listings of %zu archives with Python's zipfile\n", compared);
}
