// Malformed and hostile archives: each must give the outcome users need. Listing still works
// where the directory can be read; nothing lands outside the extraction folder; a refused or
// damaged member leaves no file behind; the message says what was wrong; good members still
// come out.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;
namespace fs = std::filesystem;

namespace {

struct HostileCase {
    const char *label;
    std::function<std::string()> archive;
    int listedCount;                    // -1: the listing fails
    std::vector<std::string> extracted; // files under the extraction folder afterwards (folder names on)
    const char *message;                // part of the message that explains the failure; null: success
};

Member Ok() {
    return {"ok.txt", "fine"};
}

Member Named(const std::string &name) {
    return {name, "evil"};
}

std::string WithHostileName(const std::string &name) {
    return Build({Named(name), Ok()});
}

std::string FakeEndInComment() {
    // An end record of an empty archive hidden at the end of the real archive's comment.
    std::string fake = Le32(0x06054b50) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le32(0) + Le32(0) + Le16(0);
    Options o;
    o.comment = "see you " + fake;
    return Build({Ok()}, o);
}

std::string Overlapping() {
    Member a = Ok();
    Member b{"second.txt", "other"};
    b.localOffset = 0; // its directory entry points at the first member's data
    b.localName = "ok.txt";
    return Build({a, b});
}

std::string RunsIntoNext() {
    Member a{"first.txt", std::string(1000, 'a')};
    a.method = 0;
    a.compressedSize = 1200;
    a.size = 1200;
    return Build({a, Ok()});
}

std::string Symlink() {
    Member link{"link", "/etc/passwd"};
    link.method = 0;
    link.externalAttributes = 0120777u << 16;
    return Build({link, Ok()});
}

std::string Truncated() {
    std::string whole = Build({{"a.txt", std::string(5000, 'x')}, Ok()});
    return whole.substr(0, whole.size() / 2);
}

std::string LocalHeadersOnly() {
    std::string whole = Build({Ok()});
    return whole.substr(0, whole.find(std::string("PK\x01\x02", 4)));
}

std::string UnsupportedMethod() {
    Member m{"packed.bz2", "BZh91AY&SY"};
    m.method = 12;
    return Build({m, Ok()});
}

std::string StrongEncryption() {
    Member m{"secret.bin", "....ciphertext...."};
    m.method = 0;
    m.flags = 0x41;
    return Build({m, Ok()});
}

std::string InvalidDate() {
    Member m = Ok();
    m.dosDate = (45 << 9) | (13 << 5) | 0; // month 13, day 0
    m.dosTime = (25 << 11) | (61 << 5);
    return Build({m});
}

std::string Bomb() {
    Member m{"bomb.bin", std::string(64, 'z')};
    m.size = 2000000000;
    return Build({m, Ok()});
}

std::vector<HostileCase> Cases() {
    return {
        {"DotDot", [] { return WithHostileName("../x"); }, 2, {"ok.txt"}, "climbs out"},
        {"DotDotInside", [] { return WithHostileName("a/../../x"); }, 2, {"ok.txt"}, "climbs out"},
        {"BackslashDotDot", [] { return WithHostileName("..\\x"); }, 2, {"ok.txt"}, "backslash"},
        {"Absolute", [] { return WithHostileName("/abs"); }, 2, {"ok.txt"}, "absolute"},
        {"DriveBackslash", [] { return WithHostileName("C:\\x"); }, 2, {"ok.txt"}, "backslash"},
        {"DriveRelative", [] { return WithHostileName("C:x"); }, 2, {"ok.txt"}, "drive letter"},
        {"Unc", [] { return WithHostileName("\\\\srv\\share\\x"); }, 2, {"ok.txt"}, "backslash"},
        {"DriveLetterWithoutSeparator", [] { return WithHostileName("a:b"); }, 2, {"ok.txt"}, "drive letter"},
        {"Stream", [] { return WithHostileName("file.txt:hidden"); }, 2, {"ok.txt"}, "colon"},
        {"Device", [] { return WithHostileName("CON"); }, 2, {"ok.txt"}, "device"},
        {"DeviceWithExtension", [] { return WithHostileName("sub/nul.txt"); }, 2, {"ok.txt"}, "device"},
        {"TrailingDot", [] { return WithHostileName("name."); }, 2, {"ok.txt"}, "ends in a dot"},
        {"TrailingSpace",
         [] { return WithHostileName("dir /name"); },
         2,
         {"ok.txt"},
         "ends in a dot or a space"},
        {"ForbiddenCharacter", [] { return WithHostileName("what?.txt"); }, 2, {"ok.txt"}, "does not allow"},
        {"ControlCharacter", [] { return WithHostileName("bell\x07.txt"); }, 2, {"ok.txt"}, "control"},
        {"EmbeddedNul",
         [] { return WithHostileName(std::string("ok.txt\0.exe", 11)); },
         2,
         {"ok.txt"},
         "NUL"},
        {"Symlink", Symlink, 2, {"ok.txt"}, "symbolic link"},
        {"Duplicate",
         [] {
             return Build({Ok(), {"ok.txt", "second"}});
         },
         2,
         {"ok.txt"},
         "already written"},
        {"DiffersOnlyInCase",
         [] {
             return Build({Ok(), {"OK.TXT", "x"}});
         },
         2,
         {"ok.txt"},
         "differ only in case"},
        {"SameFileNameInTwoFolders",
         [] {
             return Build({{"a/ok.txt", "1"}, {"b/ok.txt", "2"}});
         },
         2,
         {"a", "a/ok.txt", "b", "b/ok.txt"},
         nullptr},
        {"Overlapping", Overlapping, 2, {}, "shared with another member"},
        {"SizeRunsIntoNextMember", RunsIntoNext, 2, {"ok.txt"}, "run into the next member"},
        {"DeclaredSmaller",
         [] {
             Member m{"big.txt", std::string(100000, 'b')};
             m.size = 1000;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "more than the 1000 bytes"},
        {"DeclaredLarger",
         [] {
             Member m{"small.txt", std::string(1000, 's')};
             m.size = 5000;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "declares 5000"},
        {"StoredSizesDisagree",
         [] {
             Member m{"stored.txt", "12345"};
             m.method = 0;
             m.size = 4;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "sizes differ"},
        {"Bomb", Bomb, 2, {"ok.txt"}, "zip bomb"},
        {"CountFarLargerThanFile",
         [] {
             Options o;
             o.entryCount = 60000;
             return Build({Ok()}, o);
         },
         -1,
         {},
         "room for at most 1"},
        {"Zip64SizeWithoutExtra",
         [] {
             Member m{"huge.bin", "x"};
             m.size = 0xFFFFFFFF;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "without the ZIP64 extra field"},
        {"Zip64BadLocator",
         [] {
             Options o;
             o.zip64End = true;
             o.locatorOffset = 0x7FFFFFFFFFFull;
             return Build({Ok()}, o);
         },
         1,
         {"ok.txt"},
         nullptr},
        {"Zip64Members",
         [] {
             Member m = Ok();
             m.zip64 = true;
             Options o;
             o.zip64End = true;
             return Build({m}, o);
         },
         1,
         {"ok.txt"},
         nullptr},
        {"DescriptorWithSignature",
         [] {
             Member m{"d.txt", "described"};
             m.descriptor = true;
             return Build({m, Ok()});
         },
         2,
         {"d.txt", "ok.txt"},
         nullptr},
        {"DescriptorWithoutSignature",
         [] {
             Member m{"d.txt", "described"};
             m.descriptor = true;
             m.descriptorSignature = false;
             return Build({m, Ok()});
         },
         2,
         {"d.txt", "ok.txt"},
         nullptr},
        {"WrongCrc",
         [] {
             Member m{"bad.txt", "payload"};
             m.crc = 0xDEADBEEF;
             m.descriptor = true; // so that the local header does not catch it first
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "CRC-32"},
        {"LocalNameDisagrees",
         [] {
             Member m{"innocent.txt", "x"};
             m.localName = "evil.exe";
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "different name"},
        {"LocalMethodDisagrees",
         [] {
             Member m{"m.txt", "x"};
             m.localMethod = 0;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "method"},
        {"LocalSizeDisagrees",
         [] {
             Member m{"m.txt", "xyz"};
             m.method = 0;
             std::string zip = Build({m, Ok()});
             zip[22] = 9; // the local header's uncompressed size
             return zip;
         },
         2,
         {"ok.txt"},
         "size or CRC"},
        {"Truncated", Truncated, -1, {}, "no zip end record"},
        {"LocalHeadersButNoEndRecord", LocalHeadersOnly, -1, {}, "no zip end record"},
        {"StubAndTrailingJunk",
         [] {
             Options o;
             o.prefix = "MZ" + std::string(4000, '\x90');
             o.trailer = "trailing junk that is not part of the archive";
             return Build({Ok(), {"dir/two.txt", "2"}}, o);
         },
         2,
         {"dir", "dir/two.txt", "ok.txt"},
         nullptr},
        {"StubWithAdjustedOffsets",
         [] {
             Options o;
             o.prefix = std::string(777, 'S');
             o.adjustOffsets = true;
             return Build({Ok()}, o);
         },
         1,
         {"ok.txt"},
         nullptr},
        {"FakeEndRecordInComment", FakeEndInComment, 1, {"ok.txt"}, nullptr},
        {"MultiDisk",
         [] {
             Options o;
             o.thisDisk = 1;
             o.directoryDisk = 1;
             return Build({Ok()}, o);
         },
         -1,
         {},
         "several disks"},
        {"UnsupportedMethod", UnsupportedMethod, 2, {"ok.txt"}, "BZip2"},
        {"StrongEncryption", StrongEncryption, 2, {"ok.txt"}, "strong encryption"},
        {"InvalidDosDate", InvalidDate, 1, {"ok.txt"}, nullptr},
        {"EmptyArchive", [] { return Build({}); }, 0, {}, nullptr},
        {"ZeroByteFile", [] { return std::string(); }, -1, {}, "too small"},
        {"InvalidUtf8Name",
         [] {
             Member m{"bad\xC3(.txt", "x"};
             m.flags = 0x800;
             return Build({m, Ok()});
         },
         2,
         {"ok.txt"},
         "not valid UTF-8"},
    };
}

void PrintTo(const HostileCase &c, std::ostream *os) {
    *os << c.label;
}

class Hostile : public ::testing::TestWithParam<HostileCase> {};

std::string CaseName(const ::testing::TestParamInfo<HostileCase> &info) {
    return info.param.label;
}

} // namespace

TEST_P(Hostile, ListsWhatItCanAndExtractsOnlyWhatIsSafe) {
    const HostileCase &c = GetParam();
    ScratchFolder dir;
    std::string zip = dir.Write("archive.zip", c.archive());
    fs::create_directories(dir.Path() / "out" / "inner");

    Result listing = List(zip);
    if (c.listedCount < 0) {
        EXPECT_NE(listing.status, 0);
        EXPECT_NE(listing.AllMessages().find(c.message), std::string::npos) << listing.AllMessages();
    } else {
        EXPECT_EQ(listing.status, 0) << listing.AllMessages();
        EXPECT_EQ(listing.listed.size(), static_cast<size_t>(c.listedCount));
    }

    UnzipOptions options{};
    options.useFolderNames = 1;
    Result r = Extract(zip, dir / "out/inner", options);
    if (c.message) {
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.AllMessages().find(c.message), std::string::npos) << r.AllMessages();
    } else {
        EXPECT_EQ(r.status, 0) << r.AllMessages();
    }
    EXPECT_EQ(Tree(dir.Path() / "out" / "inner"), c.extracted) << r.AllMessages();
    EXPECT_EQ(Tree(dir.Path()).size(), 3 + c.extracted.size()) << "nothing written outside the folder";
    if (fs::exists(dir.Path() / "out/inner/ok.txt")) {
        EXPECT_EQ(ReadFile(dir / "out/inner/ok.txt"), "fine");
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, Hostile, ::testing::ValuesIn(Cases()), CaseName);

TEST(HostileExtraction, DamagedMemberKeepsTheFileItWouldReplace) {
    ScratchFolder dir;
    Member bad{"keep.txt", std::string(300000, 'n')};
    bad.crc = 1;
    bad.descriptor = true;
    std::string zip = dir.Write("a.zip", Build({bad}));
    fs::create_directory(dir.Path() / "out");
    dir.Write("out/keep.txt", "precious");
    Call call;
    call.options.overwriteExisting = 1;
    Result r = RunUnzip(call, zip, dir / "out");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(ReadFile(dir / "out/keep.txt"), "precious");
    EXPECT_EQ(Tree(dir.Path() / "out"), (std::vector<std::string>{"keep.txt"})) << "no temporary file left";
}

TEST(HostileExtraction, ReadOnlyFileIsKept) {
    ScratchFolder dir;
    std::string zip = dir.Write("a.zip", Build({{"frozen.dat", "new"}, Ok()}));
    fs::create_directory(dir.Path() / "out");
    std::string frozen = dir.Write("out/frozen.dat", "old");
    fs::permissions(frozen, fs::perms::owner_write, fs::perm_options::remove);
    Call call;
    call.options.overwriteExisting = 1;
    Result r = RunUnzip(call, zip, dir / "out");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.AllMessages().find("read-only"), std::string::npos) << r.AllMessages();
    EXPECT_EQ(ReadFile(frozen), "old");
    EXPECT_EQ(ReadFile(dir / "out/ok.txt"), "fine");
}

TEST(HostileExtraction, PlantedLinkInTheDestinationIsNotFollowed) {
    ScratchFolder dir;
    fs::create_directories(dir.Path() / "out");
    fs::create_directories(dir.Path() / "elsewhere");
    fs::create_directory_symlink(dir.Path() / "elsewhere", dir.Path() / "out" / "sub");
    std::string zip = dir.Write("a.zip", Build({{"sub/x.txt", "through the link"}}));
    UnzipOptions options{};
    options.useFolderNames = 1;
    Result r = Extract(zip, dir / "out", options);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.AllMessages().find("symbolic link"), std::string::npos) << r.AllMessages();
    EXPECT_TRUE(fs::is_empty(dir.Path() / "elsewhere"));
}

TEST(HostileExtraction, EncryptedMemberNeedsTheRightPassword) {
    ScratchFolder dir;
    Member secret{"secret.txt", "the treasure is under the oak"};
    secret.password = "open sesame";
    Member described{"later.txt", "also secret"};
    described.password = "open sesame";
    described.descriptor = true;
    std::string zip = dir.Write("a.zip", Build({secret, described, Ok()}));

    Result listing = List(zip);
    ASSERT_EQ(listing.listed.size(), 3u);
    EXPECT_EQ(listing.listed[0].encryption & 64, 64);
    EXPECT_EQ(listing.listed[2].encryption & 64, 0);
    EXPECT_EQ(listing.passwordRequests, 0);

    Call right;
    right.passwords = {"wrong", "open sesame"};
    Result r = RunUnzip(right, zip, dir / "right");
    EXPECT_EQ(r.status, 0) << r.AllMessages();
    EXPECT_EQ(r.passwordRequests, 2) << "the accepted password serves the next member too";
    EXPECT_EQ(ReadFile(dir / "right/secret.txt"), secret.data);
    EXPECT_EQ(ReadFile(dir / "right/later.txt"), described.data);

    Result refused = RunUnzip(Call{}, zip, dir / "refused");
    EXPECT_NE(refused.status, 0);
    EXPECT_EQ(refused.passwordRequests, 1) << "after a refusal the host is not asked again";
    EXPECT_EQ(Tree(dir.Path() / "refused"), (std::vector<std::string>{"ok.txt"}));
    EXPECT_NE(refused.AllMessages().find("no correct password"), std::string::npos);

    Call stubborn;
    stubborn.passwords = std::vector<std::string>(20, "wrong");
    Result wrong = RunUnzip(stubborn, zip, dir / "wrong");
    EXPECT_NE(wrong.status, 0);
    EXPECT_LE(wrong.passwordRequests, 10) << "a host that keeps giving wrong passwords cannot loop forever";
}

TEST(HostileExtraction, NothingIsReadFromANonArchive) {
    ScratchFolder dir;
    EXPECT_EQ(List(dir / "missing.zip").status, 9);
    EXPECT_EQ(List(dir.Path().string()).status, 9);
    Call noPath;
    noPath.options.listOnly = 1;
    UnzipCallbacks none{};
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, nullptr, &none), 10);
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &noPath.options, nullptr), 10);
}
