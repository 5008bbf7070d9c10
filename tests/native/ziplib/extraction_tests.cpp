// Listing and extraction of well-formed archives through the exported functions.
#include <gtest/gtest.h>

#include <filesystem>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;

namespace {

std::string Text(size_t n) {
    std::string s;
    while (s.size() < n)
        s += "The quick brown fox jumps over the lazy dog " + std::to_string(s.size()) + "\n";
    s.resize(n);
    return s;
}

UnzipOptions WithFolders() {
    UnzipOptions o{};
    o.useFolderNames = 1;
    return o;
}

} // namespace

TEST(Listing, ReportsEveryEntryInDirectoryOrder) {
    ScratchFolder dir;
    Member folder{"docs/", ""};
    folder.method = 0;
    Member readme{"docs/readme.txt", Text(10000)};
    Member stored{"data.bin", std::string("\x01\x02\x03", 3)};
    stored.method = 0;
    stored.dosDate = (45 << 9) | (6 << 5) | 15;   // 2025-06-15
    stored.dosTime = (13 << 11) | (47 << 5) | 10; // 13:47:20
    Member described{"late.txt", "written with a descriptor"};
    described.descriptor = true;
    std::string zip = dir.Write("a.zip", Build({folder, readme, stored, described}));

    Result r = List(zip);
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    ASSERT_EQ(r.listed.size(), 4u);
    EXPECT_EQ(r.listed[0].path, "docs/");
    EXPECT_EQ(r.listed[1].path, "docs/readme.txt");
    EXPECT_EQ(r.listed[1].method, "Defl:N");
    EXPECT_EQ(r.listed[1].size, 10000u);
    EXPECT_EQ(r.listed[1].crc, Crc(Text(10000)));
    uint32_t packed = r.listed[1].compressedSize;
    EXPECT_EQ(r.listed[1].factor, static_cast<uint32_t>((10000 - packed) * 100 / 10000.0 + 0.5));
    EXPECT_EQ(r.listed[2].method, "Stored");
    EXPECT_EQ(r.listed[2].factor, 0u);
    EXPECT_EQ(r.listed[2].year, 2025u);
    EXPECT_EQ(r.listed[2].month, 6u);
    EXPECT_EQ(r.listed[2].day, 15u);
    EXPECT_EQ(r.listed[2].hour, 13u);
    EXPECT_EQ(r.listed[2].minute, 47u);
    EXPECT_EQ(r.listed[2].flag, ' ');
    EXPECT_EQ(r.listed[3].flag, 'D');
    EXPECT_EQ(r.listed[3].encryption & 64, 0);
    EXPECT_EQ(r.serviced, (std::vector<std::string>{"docs/", "docs/readme.txt", "data.bin", "late.txt"}));
}

TEST(Listing, ExpandingMemberHasNegativeFactorInLow16Bits) {
    ScratchFolder dir;
    Member m{"random.bin", "ab"}; // deflate makes two bytes larger
    std::string zip = dir.Write("a.zip", Build({m}));
    Result r = List(zip);
    ASSERT_EQ(r.listed.size(), 1u);
    EXPECT_LT(static_cast<int16_t>(r.listed[0].factor & 0xFFFF), 0);
}

TEST(Extraction, WithoutFolderNamesEveryFileLandsInTheFolderItself) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"top.txt", "top"}, {"sub/deeper/inner.txt", Text(5000)}}));
    fs::create_directory(dir.Path() / "out");
    Result r = Extract(zip, dir / "out");
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"inner.txt", "top.txt"}));
    EXPECT_EQ(ReadFile(dir / "out/inner.txt"), Text(5000));
}

TEST(Extraction, WithFolderNamesRecreatesTheFolders) {
    ScratchFolder dir;
    Member folder{"empty/", ""};
    folder.method = 0;
    std::string zip = dir.Write("a.zip", Build({folder, {"sub/deeper/inner.txt", "x"}}));
    Result r = Extract(zip, dir / "out", WithFolders());
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path() / "out"),
              (std::vector<std::string>{"empty", "sub", "sub/deeper", "sub/deeper/inner.txt"}));
}

TEST(Extraction, IncludeListTakesExactMemberPathsOnly) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "a"}, {"dir/b.txt", "b"}, {"c.txt", "c"}}));
    Result r = Extract(zip, dir / "out", {}, {"dir/b.txt", "c.txt"});
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(r.serviced, (std::vector<std::string>{"dir/b.txt", "c.txt"}));
}

TEST(Extraction, IncludeNameThatNoMemberCarriesFailsTheRun) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "a"}}));
    Result r = Extract(zip, dir / "out", {}, {"a.txt", "B.TXT"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "a");
    EXPECT_NE(r.AllMessages().find("B.TXT"), std::string::npos);
}

TEST(Extraction, ExcludeListLeavesMembersOut) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "a"}, {"b.txt", "b"}}));
    Call call;
    call.exclude = {"a.txt"};
    Result r = RunUnzip(call, zip, dir / "out");
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"b.txt"}));
}

TEST(Extraction, ExistingFileIsReplacedOnlyWhenTheHostSaysSo) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "new"}}));
    fs::create_directory(dir.Path() / "out");
    dir.Write("out/a.txt", "old");

    Call keep;
    keep.replaceAnswer = 101;
    Result kept = RunUnzip(keep, zip, dir / "out");
    EXPECT_EQ(kept.status, 0) << kept.AllMessages();
    ASSERT_EQ(kept.replaceQuestions.size(), 1u);
    EXPECT_EQ(kept.replaceQuestions[0], dir / "out/a.txt");
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "old");

    Result replaced = RunUnzip(Call{}, zip, dir / "out"); // the default answer, 100
    EXPECT_EQ(replaced.status, 0);
    EXPECT_EQ(replaced.replaceQuestions.size(), 1u);
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "new");
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"a.txt"})) << "no temporary file left";
}

TEST(Extraction, OverwriteExistingReplacesWithoutAsking) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "new"}}));
    fs::create_directory(dir.Path() / "out");
    dir.Write("out/a.txt", "old");
    Call call;
    call.options.overwriteExisting = 1;
    call.replaceAnswer = 101;
    Result r = RunUnzip(call, zip, dir / "out");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.replaceQuestions.empty());
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "new");
}

TEST(Extraction, MissingExtractionFolderIsCreated) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "a"}}));
    Result r = Extract(zip, dir / "new folder");
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(ReadFile(dir / "new folder/a.txt"), "a");
}

TEST(Extraction, LargeMemberStreamsThroughAndKeepsItsDate) {
    ScratchFolder dir;
    Member big{"big.txt", Text(3 * 1024 * 1024 + 17)};
    big.dosDate = (30 << 9) | (2 << 5) | 29; // 2010-02-29 does not exist...
    big.dosDate = (28 << 9) | (2 << 5) | 29; // ...2008-02-29 does
    std::string zip = dir.Write("a.zip", Build({big}));
    Result r = Extract(zip, dir.Path().string());
    ASSERT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(ReadFile(dir / "big.txt"), big.data);
    auto written = fs::last_write_time(dir / "big.txt");
    auto sys = std::chrono::time_point_cast<std::chrono::seconds>(written - fs::file_time_type::clock::now() +
                                                                  std::chrono::system_clock::now());
    std::time_t t = std::chrono::system_clock::to_time_t(sys);
    std::tm local{};
    localtime_r(&t, &local);
    EXPECT_EQ(local.tm_year + 1900, 2008);
    EXPECT_EQ(local.tm_mon + 1, 2);
    EXPECT_EQ(local.tm_mday, 29);
}

TEST(Extraction, ServiceCallbackStopsTheRun) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
    Call call;
    call.stopAt = "b.txt";
    Result r = RunUnzip(call, zip, dir / "out");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"a.txt"}));
}

TEST(Extraction, TestModeChecksEverythingAndWritesNothing) {
    ScratchFolder dir;
    Member bad{"bad.txt", "payload"};
    bad.crc = 1234;
    std::string good = dir.Write("good.zip", Build({{"a.txt", Text(100000)}}));
    std::string broken = dir.Write("bad.zip", Build({{"a.txt", "a"}, bad}));
    Call call;
    call.options.testZip = 1;
    EXPECT_EQ(RunUnzip(call, good, dir / "out").status, 0);
    Result r = RunUnzip(call, broken, dir / "out");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.AllMessages().find("bad.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.Path() / "out"));
}

TEST(Extraction, ExtractOnlyNewerSkipsFilesThatAreAsNew) {
    ScratchFolder dir;
    Member old{"a.txt", "archive"};
    old.dosDate = (1 << 9) | (1 << 5) | 1; // 1981
    Member fresh{"b.txt", "archive"};
    fresh.dosDate = (100 << 9) | (1 << 5) | 1; // 2080
    std::string zip = dir.Write("a.zip", Build({old, fresh}));
    fs::create_directory(dir.Path() / "out");
    dir.Write("out/a.txt", "disk");
    dir.Write("out/b.txt", "disk");
    Call call;
    call.options.extractOnlyNewer = 1;
    Result r = RunUnzip(call, zip, dir / "out");
    EXPECT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "disk");
    EXPECT_EQ(ReadFile(dir / "out/b.txt"), "archive");
}

TEST(Extraction, SpaceToUnderscoreRenamesOutput) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"my file.txt", "x"}}));
    Call call;
    call.options.spaceToUnderscore = 1;
    EXPECT_EQ(RunUnzip(call, zip, dir / "out").status, 0);
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"my_file.txt"}));
}

TEST(Version, FillsTheRecord) {
    UnzipVersionInfo info{};
    info.length = 64;
    UzpVersion2(&info);
    EXPECT_EQ(info.length, 64u);
    EXPECT_EQ(info.version[3][0], 1);
    EXPECT_EQ(info.version[3][1], 0);
    EXPECT_EQ(info.version[3][2], 0);
    EXPECT_GT(strnlen(info.betaLevel, sizeof info.betaLevel), 0u);
    EXPECT_LT(strnlen(info.betaLevel, sizeof info.betaLevel), sizeof info.betaLevel);
}
