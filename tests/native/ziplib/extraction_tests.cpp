// Listing and extraction of well-formed archives through the exported functions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;
using Numbers = std::vector<uint32_t>;

namespace {

std::string Text(size_t n) {
    std::string s;
    while (s.size() < n)
        s += "The quick brown fox jumps over the lazy dog " + std::to_string(s.size()) + "\n";
    return s.substr(0, n);
}

} // namespace

TEST(Listing, ReportsEveryEntryInDirectoryOrderWithWhatZipfileCannotCompare) {
    // Sizes, dates and CRCs are compared with Python's zipfile's on other tools' archives.
    Member folder{"docs/", ""}, readme{"docs/readme.txt", Text(10000)}, stored{"data.bin", "\x01\x02\x03"};
    Member described{"late.txt", "written with a descriptor"}, grown{"grown.bin", "ab"};
    folder.method = stored.method = 0;
    described.descriptor = true;
    Result r = List(ScratchFolder().Write("a.zip", Build({folder, readme, stored, described, grown})));
    ASSERT_EQ(r.status, 0) << r.messages;
    ASSERT_EQ(r.listed.size(), 5u);
    EXPECT_EQ(r.serviced,
              (std::vector<std::string>{"docs/", "docs/readme.txt", "data.bin", "late.txt", "grown.bin"}));
    const Listed &deflated = r.listed[1];
    EXPECT_EQ(r.listed[0].path + " " + deflated.method + " " + r.listed[2].method, "docs/ Defl:N Stored");
    EXPECT_EQ(Numbers({deflated.factor, r.listed[2].factor}),
              Numbers({uint32_t((10000 - deflated.compressedSize) / 100.0 + 0.5), 0}));
    EXPECT_EQ(std::string({r.listed[2].flag, r.listed[3].flag, r.listed[3].encryption}), " D ");
    EXPECT_LT(int16_t(r.listed[4].factor & 0xFFFF), 0)
        << "grown by deflate: a negative factor in the low 16 bits";
}

TEST(Extraction, FolderNamesIncludeAndExcludeListsAndTheMembersDate) {
    ScratchFolder dir;
    Member empty{"empty/", ""}, top{"top.txt", "top"};
    empty.method = 0;
    top.dosDate = (28 << 9) | (2 << 5) | 29; // 2008-02-29
    std::string zip = dir.Write("a.zip", Build({empty, top, {"sub/deeper/inner.txt", Text(300000)}}));
    Result r = Extract(zip, dir / "flat");
    ASSERT_EQ(r.status, 0) << r.messages;
    EXPECT_EQ(Tree(dir / "flat"), "inner.txt top.txt") << "the missing folder is created";
    EXPECT_EQ(ReadFile(dir / "flat/inner.txt"), Text(300000));
    struct stat written {};
    std::tm local{};
    stat((dir / "flat/top.txt").c_str(), &written);
    localtime_r(&written.st_mtime, &local);
    EXPECT_EQ(std::vector<int>({local.tm_year, local.tm_mon, local.tm_mday}), std::vector<int>({108, 1, 29}));
    EXPECT_EQ(Extract(zip, dir / "deep", true).status, 0);
    EXPECT_EQ(Tree(dir / "deep"), "empty sub sub/deeper sub/deeper/inner.txt top.txt");

    Call some;
    some.include = {"sub/deeper/inner.txt", "top.txt"};
    some.exclude = {"top.txt"};
    r = Unzip(some, zip, dir / "some");
    EXPECT_EQ(r.status, 0) << r.messages;
    EXPECT_EQ(Tree(dir / "some"), "inner.txt");
    EXPECT_EQ(r.serviced, std::vector<std::string>{"sub/deeper/inner.txt"});
    some.include = {"top.txt", "inner.txt", "TOP.TXT"}; // exact member paths only
    some.exclude = {};
    r = Unzip(some, zip, dir / "exact");
    EXPECT_EQ(r.status, 11);
    EXPECT_EQ(Tree(dir / "exact"), "top.txt");
    EXPECT_NE(r.messages.find("inner.txt"), std::string::npos) << r.messages;
    EXPECT_NE(r.messages.find("TOP.TXT"), std::string::npos) << r.messages;
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
        Result r = Unzip(call, zip, dir / "out");
        EXPECT_EQ(r.status, 0) << "a kept file counts as success";
        EXPECT_EQ(ReadFile(dir / "out/new.txt") + " " + ReadFile(dir / "out/old.txt"), newThenOld);
        EXPECT_EQ(Tree(dir / "out"), "new.txt old.txt") << "no temporary file left";
        return r.replaceQuestions;
    };
    Call call;
    call.replaceAnswer = 101;
    EXPECT_EQ(run(call, "disk disk"), (std::vector<std::string>{dir / "out/old.txt", dir / "out/new.txt"}));
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
    Result r = Unzip(call, zip, dir / "test");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.messages.find("bad.txt"), std::string::npos) << r.messages;
    EXPECT_FALSE(fs::exists(dir / "test")) << "testing writes nothing";
}

TEST(Extraction, MembersPickedByNameAfterAListingComeFromTheArchiveAsItIsNow) {
    ScratchFolder dir;
    auto data = [](const std::string &version, int i) {
        return version + std::to_string(i) + Text(size_t(i % 7));
    };
    auto archive = [&](const std::string &version) {
        std::vector<Member> members;
        for (int i = 0; i < 3000; ++i)
            members.push_back({"m" + std::to_string(i) + ".txt", data(version, i)});
        return Build(members);
    };
    std::string zip = dir.Write("a.zip", archive("first "));
    // The first and the last entry, neighbours, and entries on either side of where a reader
    // would have to start again.
    const std::vector<int> numbers = {2999, 0, 31, 32, 33, 1500};
    Call pick;
    for (int i : numbers)
        pick.include.push_back("m" + std::to_string(i) + ".txt");
    pick.include.push_back("none.txt");
    auto check = [&](const std::string &folder, const std::string &version) {
        Result r = Unzip(pick, zip, dir / folder);
        EXPECT_EQ(r.status, 11) << r.messages;
        EXPECT_NE(r.messages.find("none.txt: no such member"), std::string::npos) << r.messages;
        EXPECT_EQ(Tree(dir / folder), "m0.txt m1500.txt m2999.txt m31.txt m32.txt m33.txt");
        for (int i : numbers)
            EXPECT_EQ(ReadFile(dir.Path() / folder / ("m" + std::to_string(i) + ".txt")), data(version, i));
    };
    check("unlisted", "first ");
    ASSERT_EQ(List(zip).listed.size(), 3000u);
    check("listed", "first ");

    // Rewritten in place since the listing: same names, other data in other places.
    std::ofstream(zip, std::ios::binary | std::ios::trunc) << archive("second ");
    check("rewritten", "second ");
}
