// Listing and extraction through the exported functions: of archives built here, and of those
// made by other tools (make_archives.py, at build time), whose listings are compared with Python's
// zipfile's.
#include <gtest/gtest.h>

#include <map>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
using Names = std::vector<std::string>;

const fs::path kArchives = ZIPLIB_TEST_ARCHIVES;

TEST(Extraction, MembersPickedByNameComeFromTheArchiveAsItIsNow) {
    ScratchFolder dir;
    // The first and the last entry, neighbours, and entries on either side of where a reader
    // would have to start again; member paths match exactly.
    Call pick;
    pick.include = {"m2999.txt", "m0.txt", "m31.txt", "m32.txt", "m33.txt", "m1500.txt", "M31.TXT"};
    // Each archive is written over the last: same names, other data in other places.
    for (std::string version : {"never listed ", "listed ", "rewritten since the listing "}) {
        std::vector<Member> members;
        for (int i = 0; i < 3000; ++i)
            members.push_back({"m" + std::to_string(i) + ".txt", version + std::to_string(i)});
        std::string zip = dir.Write("a.zip", Build(members));
        if (version == "listed ") {
            ASSERT_EQ(List(zip).listed.size(), 3000u);
        }
        Call r = Unzip(pick, zip, dir / version);
        EXPECT_EQ(r.status, 11) << r.messages;
        EXPECT_NE(r.messages.find("M31.TXT: no such member"), std::string::npos) << r.messages;
        EXPECT_EQ(Tree(dir / version), "m0.txt m1500.txt m2999.txt m31.txt m32.txt m33.txt");
        for (int i : {2999, 0, 31, 32, 33, 1500})
            EXPECT_EQ(ReadFile(dir.path / version / ("m" + std::to_string(i) + ".txt")),
                      version + std::to_string(i));
    }
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
    // From Unix without the UTF-8 flag: kept where valid UTF-8, else code page 437 after all.
    EXPECT_EQ(
        List(ScratchFolder().Write("a.zip", Build({dos, unixUtf8, unixLatin1, unicodeField, stale}))).listed,
        (Names{ReadFile(kArchives / "cp437.txt"), unixUtf8.name, "caf\xCE\x98.txt", utf8, "old.txt"}));
}

TEST(MadeByOtherTools, ListedAsZipfileListsThemAndExtractedAsTheyWereOrRefusedClearly) {
    // What the member's message says where an archive of make_archives.py cannot be extracted.
    std::map<std::string, std::string> refusals = {
        {"7z_aes.zip", "strong encryption (AES)"},
        {"7z_deflate64.zip", "method Defl64, which this library cannot extract"}};
    // Python's zipfile's listings, made with the archives: a line with the archive's name, then a
    // line for each of its members, after a tab.
    std::ifstream infolists(kArchives / "infolists.txt");
    std::map<std::string, Names> expected;
    std::string archive;
    for (std::string line; std::getline(infolists, line);)
        line[0] == '\t' ? expected[archive].push_back(line.substr(1)) : (void)expected[archive = line];
    ASSERT_EQ(expected.size(), 15u);
    for (const auto &[name, lines] : expected) {
        const std::string path = kArchives / name;
        Call r = List(path);
        EXPECT_EQ(r.status, 0) << path << r.messages;
        EXPECT_EQ(r.listed, lines) << path;
        // Every file of the tree as it was, in the one folder as the wizard extracts (which makes
        // it); or the reason for the refusal.
        ScratchFolder dir;
        Call call;
        call.password = "kit password";
        r = Unzip(call, path, dir / "out");
        const std::string refusal = refusals[name];
        EXPECT_NE(r.messages.find(refusal), std::string::npos) << r.messages;
        EXPECT_EQ(r.status != 0, !refusal.empty()) << path << r.messages;
        std::istringstream files(ReadFile(kArchives / "files.txt"));
        for (std::string file; refusal.empty() && std::getline(files, file);) {
            const fs::path written = dir.path / "out" / fs::path(file).filename();
            EXPECT_EQ(fs::exists(written) ? ReadFile(written) : "missing",
                      ReadFile(kArchives / "tree" / file))
                << path << file;
        }
    }
}
