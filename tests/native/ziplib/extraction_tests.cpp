// Listing and extraction through the exported functions: of archives built here, and of those
// made by other tools (make_archives.py, at build time) and installed by Debian packages, whose
// listings are compared with Python's zipfile's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
using Names = std::vector<std::string>;

namespace {

const fs::path kArchives = ZIPLIB_TEST_ARCHIVES;

std::string Text(size_t n) {
    std::string s;
    while (s.size() < n)
        s += "The quick brown fox jumps over the lazy dog " + std::to_string(s.size()) + "\n";
    return s.substr(0, n);
}

} // namespace

TEST(Extraction, ListingFolderNamesIncludeAndExcludeListsAndTheMembersDate) {
    ScratchFolder dir;
    Member empty{"empty/", ""}, top{"top.txt", "top"}, stored{"data.bin", "\x01\x02\x03"},
        late{"late.txt", "a"};
    empty.method = stored.method = 0;
    top.dosDate = (28 << 9) | (2 << 5) | 29; // 2008-02-29
    late.descriptor = true;
    std::string zip =
        dir.Write("a.zip", Build({empty, top, stored, late, {"sub/deeper/inner.txt", Text(200000)}}));
    // Sizes, dates and CRCs are compared with Python's zipfile's on other tools' archives below.
    Call r = List(zip);
    ASSERT_EQ(r.status, 0) << r.messages;
    EXPECT_EQ(r.serviced, (Names{"empty/", "top.txt", "data.bin", "late.txt", "sub/deeper/inner.txt"}));
    const Listed &inner = r.listed.at(4);
    EXPECT_EQ(r.listed[0].path + " " + inner.method + " " + r.listed[2].method, "empty/ Defl:N Stored");
    EXPECT_EQ(std::vector<uint32_t>({inner.factor, r.listed[2].factor}),
              std::vector<uint32_t>({uint32_t((200000 - inner.compressedSize) / 2000.0 + 0.5), 0}));
    EXPECT_EQ(std::string({r.listed[2].flag, r.listed[3].flag, r.listed[3].encryption}), " D ");
    // "top" grows by deflate to 5 bytes: -66.7 % saved, rounded away from zero, in the low 16 bits.
    EXPECT_EQ(int16_t(r.listed[1].factor & 0xFFFF), -67);

    r = Unzip(Call{}, zip, dir / "flat");
    ASSERT_EQ(r.status, 0) << r.messages;
    EXPECT_EQ(Tree(dir / "flat"), "data.bin inner.txt late.txt top.txt") << "the missing folder is created";
    EXPECT_EQ(ReadFile(dir / "flat/inner.txt"), Text(200000));
    struct stat written {};
    std::tm local{};
    stat((dir / "flat/top.txt").c_str(), &written);
    localtime_r(&written.st_mtime, &local);
    EXPECT_EQ(std::vector<int>({local.tm_year, local.tm_mon, local.tm_mday}), std::vector<int>({108, 1, 29}));
    Call some;
    some.options.useFolderNames = 1;
    EXPECT_EQ(Unzip(some, zip, dir / "deep").status, 0);
    EXPECT_EQ(Tree(dir / "deep"), "data.bin empty late.txt sub sub/deeper sub/deeper/inner.txt top.txt");
    some.options = {};
    some.include = {"sub/deeper/inner.txt", "top.txt"};
    some.exclude = {"top.txt"};
    r = Unzip(some, zip, dir / "some");
    EXPECT_EQ(r.status, 0) << r.messages;
    EXPECT_EQ(Tree(dir / "some"), "inner.txt");
    EXPECT_EQ(r.serviced, Names{"sub/deeper/inner.txt"});
    some.include = {"top.txt", "inner.txt", "TOP.TXT"}; // exact member paths only
    some.exclude = {};
    r = Unzip(some, zip, dir / "exact");
    EXPECT_EQ(r.status, 11);
    EXPECT_EQ(Tree(dir / "exact"), "top.txt");
    EXPECT_NE(r.messages.find("inner.txt: no such member"), std::string::npos) << r.messages;
    EXPECT_NE(r.messages.find("TOP.TXT: no such member"), std::string::npos) << r.messages;
}

TEST(Extraction, ExistingFilesAreReplacedOnlyAsTheHostAndOptionsSay) {
    ScratchFolder dir;
    Member old{"old.txt", "archive"}, fresh{"new.txt", "archive"};
    old.dosDate = (1 << 9) | (1 << 5) | 1;     // 1981
    fresh.dosDate = (100 << 9) | (1 << 5) | 1; // 2080
    std::string zip = dir.Write("a.zip", Build({old, fresh}));
    fs::create_directory(dir / "out");
    // Runs `call` over two files on the disk; returns the questions asked.
    auto run = [&](const Call &call, const std::string &newThenOld) {
        dir.Write("out/old.txt", "disk");
        dir.Write("out/new.txt", "disk");
        Call r = Unzip(call, zip, dir / "out");
        EXPECT_EQ(r.status, 0) << "a kept file counts as success";
        EXPECT_EQ(ReadFile(dir / "out/new.txt") + " " + ReadFile(dir / "out/old.txt"), newThenOld);
        EXPECT_EQ(Tree(dir / "out"), "new.txt old.txt") << "no temporary file left";
        return r.replaceQuestions;
    };
    Call call;
    call.replaceAnswer = 101;
    EXPECT_EQ(run(call, "disk disk"), (Names{dir / "out/old.txt", dir / "out/new.txt"}));
    EXPECT_EQ(run(Call{}, "archive archive").size(), 2u) << "the default answer replaces";
    call.options.overwriteExisting = 1;
    EXPECT_TRUE(run(call, "archive archive").empty());
    call.options = {};
    call.options.extractOnlyNewer = 1;
    EXPECT_TRUE(run(call, "archive disk").empty());
}

TEST(Extraction, StopTestModeAndSpaceToUnderscore) {
    ScratchFolder dir;
    Member bad{"bad.txt", "payload"};
    bad.crc = 1234;
    std::string zip = dir.Write("a.zip", Build({{"my file.txt", "a"}, {"b.txt", "b"}, bad}));
    Call call;
    call.stopAt = "b.txt";
    call.options.spaceToUnderscore = 1;
    EXPECT_EQ(Unzip(call, zip, dir / "out").status, 80);
    EXPECT_EQ(Tree(dir / "out"), "my_file.txt");
    call = {};
    call.options.testZip = 1;
    Call r = Unzip(call, zip, dir / "test");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.messages.find("bad.txt"), std::string::npos) << r.messages;
    EXPECT_FALSE(fs::exists(dir / "test")) << "testing writes nothing";
}

TEST(Extraction, MembersPickedByNameAfterAListingComeFromTheArchiveAsItIsNow) {
    ScratchFolder dir;
    auto archive = [&](const std::string &version) {
        std::vector<Member> members;
        for (int i = 0; i < 3000; ++i)
            members.push_back(
                {"m" + std::to_string(i) + ".txt", version + std::to_string(i) + Text(size_t(i % 7))});
        return dir.Write("a.zip", Build(members));
    };
    std::string zip = archive("first ");
    // The first and the last entry, neighbours, and entries on either side of where a reader
    // would have to start again.
    Call pick;
    for (int i : {2999, 0, 31, 32, 33, 1500})
        pick.include.push_back("m" + std::to_string(i) + ".txt");
    pick.include.push_back("none.txt");
    auto check = [&](const std::string &folder, const std::string &version) {
        Call r = Unzip(pick, zip, dir / folder);
        EXPECT_EQ(r.status, 11) << r.messages;
        EXPECT_NE(r.messages.find("none.txt: no such member"), std::string::npos) << r.messages;
        EXPECT_EQ(Tree(dir / folder), "m0.txt m1500.txt m2999.txt m31.txt m32.txt m33.txt");
        for (int i : {2999, 0, 31, 32, 33, 1500})
            EXPECT_EQ(ReadFile(dir.path / folder / ("m" + std::to_string(i) + ".txt")),
                      version + std::to_string(i) + Text(size_t(i % 7)));
    };
    check("unlisted", "first ");
    ASSERT_EQ(List(zip).listed.size(), 3000u);
    check("listed", "first ");
    archive("second "); // rewritten in place since the listing: same names, other data in other places
    check("rewritten", "second ");
}

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
    Names paths;
    for (const Listed &l :
         List(ScratchFolder().Write("a.zip", Build({dos, unixUtf8, unixLatin1, unicodeField, stale}))).listed)
        paths.push_back(l.path);
    // From Unix without the UTF-8 flag: kept where valid UTF-8, else code page 437 after all.
    EXPECT_EQ(paths,
              (Names{ReadFile(kArchives / "cp437.txt"), unixUtf8.name, "caf\xCE\x98.txt", utf8, "old.txt"}));
}

TEST(MadeByOtherTools, ListedAsZipfileListsThemAndExtractedAsTheyWereOrRefusedClearly) {
    // What the member's message says where an archive of make_archives.py cannot be extracted.
    const std::map<std::string, std::string> refusals = {
        {"7z_aes.zip", "strong encryption (AES)"},
        {"7z_deflate64.zip", "method Defl64, which this library cannot extract"}};
    // Python's zipfile's listings, made with the archives: a line with the archive's path, then a
    // line for each of its members, after a tab.
    std::ifstream infolists(kArchives / "infolists.txt");
    std::map<std::string, Names> expected;
    std::string archive;
    for (std::string line; std::getline(infolists, line);)
        line[0] == '\t' ? expected[archive].push_back(line.substr(1)) : (void)expected[archive = line];
    size_t compared = 0;
    for (const auto &[path, lines] : expected) {
        Names ours;
        Call r = List(path);
        // Our listing has no seconds, and tells the deflate setting ("Defl:N") where zipfile tells
        // only the method.
        for (const Listed &l : r.listed) {
            char line[96];
            std::snprintf(line, sizeof line, "|%u|%u|%s|%04u%02u%02u %02u:%02u|%08x|%d", l.size,
                          l.compressedSize, l.method.substr(0, l.method.find(':')).c_str(), l.year, l.month,
                          l.day, l.hour, l.minute, l.crc, (l.encryption & 64) != 0);
            ours.push_back(l.path + line);
        }
        EXPECT_EQ(r.status, 0) << path << r.messages;
        EXPECT_EQ(ours, lines) << path;
        compared += !lines.empty();
        if (fs::path(path).parent_path() != kArchives)
            continue;
        // Every file of the tree as it was, under its folders; or the reason for the refusal.
        ScratchFolder dir;
        Call call;
        call.options.useFolderNames = 1;
        call.passwords = {"kit password"};
        r = Unzip(call, path, dir / "out");
        auto refusal = refusals.find(fs::path(path).filename().string());
        EXPECT_NE(r.messages.find(refusal == refusals.end() ? "" : refusal->second), std::string::npos)
            << r.messages;
        EXPECT_EQ(r.status != 0, refusal != refusals.end()) << path << r.messages;
        std::istringstream files(ReadFile(kArchives / "files.txt"));
        for (std::string file; refusal == refusals.end() && std::getline(files, file);)
            EXPECT_EQ(fs::exists(dir / ("out/" + file)) ? ReadFile(dir / ("out/" + file)) : "missing",
                      ReadFile(kArchives / "tree" / file))
                << path << file;
    }
    EXPECT_GE(compared, 5u);
}
