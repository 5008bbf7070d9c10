// Archives made by real tools: Debian's zip and Python's zipfile (made at build time by
// make_archives.py), and the .zip and .jar files that Debian packages install. Extraction is
// compared with the source tree, the listing with zipinfo's.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;

namespace {

const fs::path kArchives = ZIPLIB_TEST_ARCHIVES;

std::vector<std::string> SourceFiles() {
    std::ifstream in(kArchives / "files.txt");
    std::vector<std::string> files;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            files.push_back(line);
    }
    return files;
}

class MadeByTools : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(MadeByTools, ExtractsEveryFileAsItWas) {
    fs::path zip = kArchives / GetParam();
    if (!fs::exists(zip))
        GTEST_SKIP() << GetParam() << " was not made (Debian's zip missing)";
    ScratchFolder dir;
    Call call;
    call.options.useFolderNames = 1;
    call.passwords = {"kit password"};
    Result r = RunUnzip(call, zip.string(), dir / "out");
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    for (const std::string &file : SourceFiles()) {
        EXPECT_EQ(ReadFile(dir / ("out/" + file)), ReadFile((kArchives / "tree" / file).string())) << file;
    }
    Result listing = List(zip.string());
    ASSERT_EQ(listing.status, 0) << listing.AllMessages();
    bool sawUnicode = false;
    for (const auto &m : listing.listed)
        sawUnicode |= m.path == "docs/Gr\xC3\xBC\xC3\x9F"
                                "e \xE6\x97\xA5\xE6\x9C\xAC.txt";
    EXPECT_TRUE(sawUnicode);
}

INSTANTIATE_TEST_SUITE_P(Archives, MadeByTools,
                         ::testing::Values("py_deflated.zip", "py_stored.zip", "py_zip64.zip",
                                           "py_descriptors.zip", "zip_default.zip", "zip_stored.zip",
                                           "zip_fast.zip", "zip_best.zip", "zip_zip64.zip",
                                           "zip_encrypted.zip", "zip_sfx.zip", "zip_sfx_adjusted.zip"),
                         [](const auto &info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             return name;
                         });

TEST(MadeByZip, SymbolicLinksAreRefusedAndTheirTargetsExtracted) {
    fs::path zip = kArchives / "zip_symlinks.zip";
    if (!fs::exists(zip))
        GTEST_SKIP() << "Debian's zip missing";
    ScratchFolder dir;
    Result r = Extract(zip.string(), dir / "out");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"target.txt"}));
    EXPECT_NE(r.AllMessages().find("link.txt: refused: it is a symbolic link"), std::string::npos)
        << r.AllMessages();
}

TEST(Names, Cp437NamesBecomeUtf8) {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.push_back(static_cast<char>(b));
    ScratchFolder dir;
    Member dos{high, "x"};
    dos.madeBy = 0x0014; // MS-DOS
    Member unixUtf8{"Gr\xC3\xBC\xC3\x9F"
                    "e.txt",
                    "y"};                  // no UTF-8 flag, but from Unix and valid UTF-8
    Member unixLatin1{"caf\xE9.txt", "z"}; // not UTF-8: code page 437 after all
    std::string zip = dir.Write("a.zip", Build({dos, unixUtf8, unixLatin1}));
    Result r = List(zip);
    ASSERT_EQ(r.listed.size(), 3u);
    EXPECT_EQ(r.listed[0].path, ReadFile((kArchives / "cp437.txt").string()));
    EXPECT_EQ(r.listed[1].path, unixUtf8.name);
    EXPECT_EQ(r.listed[2].path, "caf\xCE\x98.txt");
}

TEST(Names, UnicodePathExtraFieldWinsOverTheCp437Name) {
    std::string utf8 = "caf\xC3\xA9.txt";
    Member m{"caf\x82.txt", "x"}; // 0x82 is e-acute in code page 437
    m.extra = Le16(0x7075) + Le16(static_cast<uint16_t>(5 + utf8.size())) + std::string(1, '\x01') +
              Le32(Crc(m.name)) + utf8;
    Member stale{"old.txt", "y"};
    stale.extra = Le16(0x7075) + Le16(9) + std::string(1, '\x01') + Le32(12345) + "new!";
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({m, stale}));
    Result r = Extract(zip, dir / "out");
    EXPECT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{utf8, "old.txt"}))
        << "an extra field whose CRC does not match the name is stale and ignored";
}

namespace {

struct ZipinfoLine {
    bool encrypted;
    uint32_t size, compressedSize;
    std::string method, date, time, name;
};

// zipinfo shows the exact modification time when the member has one in an extra field, while
// the DOS time that the library reports holds it rounded up to even seconds: "232559" -> "2326".
std::string DosMinute(const std::string &hhmmss) {
    int h = std::stoi(hhmmss.substr(0, 2)), m = std::stoi(hhmmss.substr(2, 2)),
        sec = std::stoi(hhmmss.substr(4, 2));
    if (sec % 2 == 1 && sec == 59 && ++m == 60 && h < 23)
        m = 0, ++h;
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d", h, m);
    return text;
}

// zipinfo -l -T: permissions, version, system, size, type, compressed size, method,
// yyyymmdd.hhmmss, name.
std::vector<ZipinfoLine> Zipinfo(const std::string &archive) {
    std::string command = "LC_ALL=C.UTF-8 zipinfo -l -T '" + archive + "' 2>/dev/null";
    std::vector<ZipinfoLine> lines;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    std::string output;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);
    static const std::regex line(
        R"(^\S{10}\s+\S+\s+\S+\s+(\d+)\s+(\S)\S\s+(\d+)\s+(\S+)\s+(\d{8})\.(\d{6}) (.*)$)");
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line))
            continue;
        lines.push_back({std::isupper(static_cast<unsigned char>(m[2].str()[0])) != 0,
                         static_cast<uint32_t>(std::stoull(m[1])), static_cast<uint32_t>(std::stoull(m[3])),
                         m[4], m[5], DosMinute(m[6]), m[7]});
    }
    return lines;
}

std::string OurMethodAsZipinfo(const std::string &method) {
    if (method == "Stored")
        return "stor";
    if (method.rfind("Defl:", 0) == 0)
        return "def" + method.substr(5);
    return "";
}

std::vector<std::string> ArchivesToCompare() {
    std::vector<std::string> archives;
    for (const auto &entry : fs::directory_iterator(kArchives)) {
        if (entry.path().extension() == ".zip")
            archives.push_back(entry.path().string());
    }
    std::sort(archives.begin(), archives.end());
    size_t installed = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it("/usr/share", fs::directory_options::skip_permission_denied, ec),
         end;
         it != end && installed < 40; it.increment(ec)) {
        if (ec)
            break;
        auto ext = it->path().extension();
        if ((ext == ".zip" || ext == ".jar") && it->is_regular_file(ec)) {
            archives.push_back(it->path().string());
            ++installed;
        }
    }
    return archives;
}

} // namespace

TEST(Zipinfo, ListingAgreesWithZipinfo) {
    if (std::system("command -v zipinfo >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "zipinfo is not installed";
    size_t compared = 0;
    for (const std::string &archive : ArchivesToCompare()) {
        SCOPED_TRACE(archive);
        std::vector<ZipinfoLine> expected = Zipinfo(archive);
        if (expected.empty())
            continue;
        Result ours = List(archive);
        ASSERT_EQ(ours.status, 0) << ours.AllMessages();
        ASSERT_EQ(ours.listed.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const Listed &m = ours.listed[i];
            const ZipinfoLine &z = expected[i];
            SCOPED_TRACE(z.name);
            EXPECT_EQ(m.path, z.name);
            EXPECT_EQ(m.size, z.size);
            EXPECT_EQ(m.compressedSize, z.compressedSize);
            if (!OurMethodAsZipinfo(m.method).empty()) {
                EXPECT_EQ(OurMethodAsZipinfo(m.method), z.method);
            }
            char date[16], time[8];
            std::snprintf(date, sizeof date, "%04u%02u%02u", m.year, m.month, m.day);
            std::snprintf(time, sizeof time, "%02u%02u", m.hour, m.minute);
            EXPECT_EQ(date, z.date);
            EXPECT_EQ(time, z.time);
            EXPECT_EQ((m.encryption & 64) != 0, z.encrypted);
        }
        ++compared;
    }
    EXPECT_GE(compared, 5u);
    std::printf("compared the listings of %zu archives with zipinfo\n", compared);
}
