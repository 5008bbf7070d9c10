// Archives made by real tools (make_archives.py, at build time) and those that Debian packages
// install: extraction is compared with the source tree, the listing with zipinfo's.
#include <gtest/gtest.h>

#include <regex>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;

namespace {

const fs::path kArchives = ZIPLIB_TEST_ARCHIVES;

class MadeByTools : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(MadeByTools, ExtractsEveryFileAsItWas) {
    ScratchFolder dir;
    Call call;
    call.options.useFolderNames = 1;
    call.passwords = {"kit password"};
    Result r = Unzip(call, (kArchives / GetParam()).string(), dir / "out");
    ASSERT_EQ(r.status, 0) << r.messages;
    std::istringstream files(ReadFile(kArchives / "files.txt"));
    for (std::string file; std::getline(files, file);) {
        ASSERT_TRUE(fs::is_regular_file(dir / ("out/" + file))) << file;
        EXPECT_EQ(ReadFile(dir / ("out/" + file)), ReadFile(kArchives / "tree" / file)) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, MadeByTools,
                         ::testing::Values("py_deflated.zip", "py_zip64.zip", "zip_default.zip",
                                           "zip_stored.zip", "zip_fast.zip", "zip_best.zip", "zip_zip64.zip",
                                           "zip_encrypted.zip", "zip_streamed.zip", "zip_sfx.zip",
                                           "zip_sfx_adjusted.zip"),
                         [](const auto &info) { return info.param.substr(0, info.param.find('.')); });

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

// One line per member, alike for zipinfo's listing and ours: name, sizes, method, date and time, encrypted.
std::string Line(const std::string &name, unsigned long size, unsigned long packed, std::string method,
                 const std::string &yyyymmdd, int minuteOfDay, bool encrypted) {
    if (method.rfind("Defl:", 0) == 0 || method == "Stored")
        method = method == "Stored" ? "stor" : "def" + method.substr(5);
    else if (method != "stor" && (method.size() != 4 || method.rfind("def", 0) != 0))
        method = "other"; // named differently by zipinfo
    char line[64];
    std::snprintf(line, sizeof line, "|%lu|%lu|%s|%s %02d:%02d|%d", size, packed, method.c_str(),
                  yyyymmdd.c_str(), minuteOfDay / 60, minuteOfDay % 60, encrypted);
    return name + line;
}

// `zipinfo -l -T`: permissions, version, system, size, type, compressed size, method, yyyymmdd.hhmmss, name.
std::vector<std::string> Zipinfo(const std::string &archive) {
    FILE *pipe = popen(("LC_ALL=C.UTF-8 zipinfo -l -T '" + archive + "' 2>/dev/null").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);
    static const std::regex line(
        R"(^\S+\s+\S+\s+\S+\s+(\d+)\s+(\S)\S\s+(\d+)\s+(\S+)\s+(\d{8})\.(\d\d)(\d\d)(\d\d) (.*)$)");
    std::vector<std::string> lines;
    std::istringstream in(output);
    std::smatch m;
    for (std::string text; std::getline(in, text);) {
        // zipinfo shows the exact time of an extra field where the DOS time rounds 59 seconds up.
        if (std::regex_match(text, m, line))
            lines.push_back(Line(m[9], std::stoul(m[1]), std::stoul(m[3]), m[4], m[5],
                                 std::stoi(m[6]) * 60 + std::stoi(m[7]) + (m[8] == "59"),
                                 std::isupper(m[2].str()[0])));
    }
    return lines;
}

} // namespace

TEST(Zipinfo, ListingAgreesWithZipinfoOnOursAndDebiansArchives) {
    std::vector<std::string> archives;
    for (const auto &entry : fs::directory_iterator(kArchives))
        if (entry.path().extension() == ".zip")
            archives.push_back(entry.path().string());
    std::error_code ec;
    for (fs::recursive_directory_iterator it("/usr/share", fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end && archives.size() < 60; it.increment(ec))
        if ((it->path().extension() == ".zip" || it->path().extension() == ".jar") && it->is_regular_file(ec))
            archives.push_back(it->path().string());
    size_t compared = 0;
    for (const std::string &archive : archives) {
        std::vector<std::string> expected = Zipinfo(archive), ours;
        Result r = List(archive);
        for (const Listed &l : r.listed) {
            char date[16];
            std::snprintf(date, sizeof date, "%04u%02u%02u", l.year, l.month, l.day);
            ours.push_back(Line(l.path, l.size, l.compressedSize, l.method, date, int(l.hour * 60 + l.minute),
                                l.encryption & 64));
        }
        EXPECT_EQ(r.status, 0) << archive << r.messages;
        EXPECT_EQ(ours, expected) << archive;
        compared += !expected.empty();
    }
    EXPECT_GE(compared, 5u);
    std::printf("compared the listings of %zu archives with zipinfo\n", compared);
}
