// Malformed and hostile archives, each with the outcome users need: the listing works where the
// directory can be read, nothing lands outside the extraction folder, a refused or damaged
// member leaves no file behind, the message says what was wrong and good members still come out.
#include <gtest/gtest.h>

#include <functional>

#include "unzip_runner.h"
#include "zip_builder.h"

using namespace ziptest;

namespace {

struct HostileCase {
    const char *label, *message; // what the failure says (the listing's too when it fails); null: success
    std::string archive;
    size_t listed = 2;                // entries the listing reports
    const char *extracted = "ok.txt"; // what is under the extraction folder afterwards (folder names on)
};

const Member kOk{"ok.txt", "fine"};

// The hostile member first, then an ordinary one that must still come out.
std::string Pair(Member m, const std::function<void(Member &)> &edit) {
    edit(m);
    return Build({m, kOk});
}
std::string Alone(const std::function<void(Options &)> &edit) {
    Options o;
    edit(o);
    return Build({kOk}, o);
}

std::vector<HostileCase> Cases() {
    const auto named = [](const std::string &name) { return Build({{name, "evil"}, kOk}); };
    const std::string two = Build({{"a.txt", std::string(5000, 'x')}, kOk});
    const size_t secondEntry = two.rfind("PK\x01\x02");
    return {
        {"DotDot", "climbs out", named("../x")},
        {"DotDotInside", "climbs out", named("a/../../x")},
        {"BackslashDotDot", "backslash", named("..\\x")},
        {"Absolute", "absolute", named("/abs")},
        {"DriveRelative", "drive letter", named("C:x")},
        {"Stream", "colon", named("file.txt:hidden")},
        {"Device", "device", named("CON")},
        {"DeviceWithExtension", "device", named("sub/nul.txt")},
        {"TrailingDot", "ends in a dot", named("name.")},
        {"TrailingSpace", "ends in a dot or a space", named("dir /name")},
        {"ForbiddenCharacter", "does not allow", named("what?.txt")},
        {"ControlCharacter", "control", named("bell\x07.txt")},
        {"EmbeddedNul", "NUL", named(std::string("ok.txt\0.exe", 11))},
        {"InvalidUtf8Name", "not valid UTF-8",
         Pair({"bad\xC3(.txt", ""}, [](Member &m) { m.flags = 0x800; })},
        {"Symlink", "symbolic link",
         Pair({"link", "/etc/passwd"}, [](Member &m) { m.externalAttributes = 0120777u << 16; })},
        {"Duplicate", "already written", Build({kOk, {"ok.txt", "second"}})},
        {"DiffersOnlyInCase", "differ only in case", Build({kOk, {"OK.TXT", "x"}})},
        {"SameNameInTwoFolders", nullptr, Build({{"a/ok.txt", "1"}, {"b/ok.txt", "2"}}), 2,
         "a a/ok.txt b b/ok.txt"},
        {"Overlapping", "shared with another member",
         [] {
             Member second{"second.txt", "other"};
             second.localOffset = 0, second.localName = "ok.txt";
             return Build({kOk, second});
         }(),
         2, ""},
        {"SizeRunsIntoNextMember", "run into the next member",
         Pair({"first.txt", std::string(1000, 'a')},
              [](Member &m) { m.method = 0, m.compressedSize = m.size = 1200; })},
        {"DeclaredSmaller", "more than the 1000 bytes",
         Pair({"big.txt", std::string(100000, 'b')}, [](Member &m) { m.size = 1000; })},
        {"DeclaredLarger", "declares 5000",
         Pair({"small.txt", std::string(1000, 's')}, [](Member &m) { m.size = 5000; })},
        {"StoredSizesDisagree", "sizes differ",
         Pair({"stored.txt", "12345"}, [](Member &m) { m.method = 0, m.size = 4; })},
        {"Bomb", "zip bomb",
         Pair({"bomb.bin", std::string(64, 'z')}, [](Member &m) { m.size = 2000000000; })},
        {"CountFarLargerThanFile", "room for at most 1", Alone([](Options &o) { o.entryCount = 60000; }), 0,
         ""},
        {"Zip64SizeWithoutExtra", "without the ZIP64 extra field",
         Pair({"huge.bin", "x"}, [](Member &m) { m.size = 0xFFFFFFFF; })},
        {"Zip64BadLocator", nullptr,
         Alone([](Options &o) { o.zip64End = true, o.locatorOffset = 1ull << 42; }), 1, "ok.txt"},
        {"DescriptorWithSignature", nullptr,
         Pair({"d.txt", "described"}, [](Member &m) { m.descriptor = true; }), 2, "d.txt ok.txt"},
        {"DescriptorWithoutSignature", nullptr,
         Pair({"d.txt", "described"}, [](Member &m) { m.descriptor = true, m.descriptorSignature = false; }),
         2, "d.txt ok.txt"},
        // With a descriptor the local header cannot catch the wrong CRC first.
        {"WrongCrc", "CRC-32",
         Pair({"bad.txt", "payload"}, [](Member &m) { m.crc = 0xDEADBEEF, m.descriptor = true; })},
        {"LocalNameDisagrees", "different name",
         Pair({"innocent.txt", "x"}, [](Member &m) { m.localName = "evil.exe"; })},
        {"LocalMethodDisagrees", "method", Pair({"m.txt", "x"}, [](Member &m) { m.localMethod = 0; })},
        {"LocalSizeDisagrees", "size or CRC",
         Pair({"m.txt", "xyz"}, [](Member &m) { m.method = 0; }).replace(22, 1, "\x09")},
        {"Truncated", "no zip end record", two.substr(0, two.size() / 2), 0, ""},
        {"DamagedDirectoryEntry", "entry 2 of 2", std::string(two).replace(secondEntry + 3, 1, "\x09"), 1,
         ""},
        {"StubAndTrailingJunk", nullptr,
         Alone([](Options &o) { o.prefix = "MZ" + std::string(4000, 'S'), o.trailer = "junk"; }), 1},
        // An empty archive's end record at the end of the comment.
        {"FakeEndRecordInComment", nullptr,
         Alone([](Options &o) { o.comment = "PK\x05\x06" + std::string(18, '\0'); }), 1, "ok.txt"},
        {"MultiDisk", "several disks", Alone([](Options &o) { o.disk = 1; }), 0, ""},
        {"UnsupportedMethod", "BZip2", Pair({"packed.bz2", "BZh91AY&SY"}, [](Member &m) { m.method = 12; })},
        {"EncryptedWithoutPassword", "no correct password",
         Pair({"secret.txt", "cipher"}, [](Member &m) { m.method = 0, m.flags = 1; })},
        {"StrongEncryption", "strong encryption",
         Pair({"secret.bin", "cipher"}, [](Member &m) { m.method = 0, m.flags = 0x41; })},
        {"InvalidDosDate", nullptr,
         Pair({"d.txt", "dated"}, [](Member &m) { m.dosDate = (45 << 9) | (13 << 5), m.dosTime = 0xFFFF; }),
         2, "d.txt ok.txt"},
        {"EmptyArchive", nullptr, Build({}), 0, ""},
        {"ZeroByteFile", "too small", "", 0, ""},
    };
}

class Hostile : public ::testing::TestWithParam<HostileCase> {};

} // namespace

TEST_P(Hostile, ListsWhatItCanAndExtractsOnlyWhatIsSafe) {
    const HostileCase &c = GetParam();
    ScratchFolder dir;
    std::string zip = dir.Write("archive.zip", c.archive);
    Call listing = List(zip);
    EXPECT_EQ(listing.listed.size(), c.listed) << listing.messages;
    EXPECT_EQ(listing.status != 0, c.message && listing.messages.find(c.message) != std::string::npos)
        << listing.messages;
    // All members, then every listed member picked by name right after the listing, as the
    // component does: both end alike.
    std::vector<Call> calls(listing.listed.empty() ? 1 : 2);
    calls.back().include = listing.listed;
    for (Call &call : calls) {
        call.options.useFolderNames = 1;
        fs::create_directories(dir / "out/inner");
        Call r = Unzip(call, zip, dir / "out/inner");
        EXPECT_EQ(r.status != 0, c.message != nullptr) << r.messages;
        EXPECT_NE(r.messages.find(c.message ? c.message : ""), std::string::npos) << r.messages;
        EXPECT_EQ(Tree(dir / "out/inner"), c.extracted) << r.messages;
        EXPECT_EQ(ReadFile(dir / "out/inner/ok.txt"), fs::exists(dir / "out/inner/ok.txt") ? "fine" : "");
        fs::remove_all(dir / "out/inner");
        EXPECT_EQ(Tree(dir.path), "archive.zip out") << "nothing written outside the folder";
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, Hostile, ::testing::ValuesIn(Cases()),
                         [](const auto &info) { return std::string(info.param.label); });

// Read-only files are tested with the Windows file system.
TEST(HostileExtraction, TheDestinationsFilesAndLinksAreSafe) {
    ScratchFolder dir;
    Member damaged{"keep.txt", std::string(300000, 'n')};
    damaged.crc = 1;
    damaged.descriptor = true;
    std::string zip = dir.Write("a.zip", Build({damaged, {"sub/x.txt", "through the link"}, kOk}));
    fs::create_directories(dir / "elsewhere");
    fs::create_directories(dir / "out");
    fs::create_directory_symlink(dir / "elsewhere", dir / "out/sub");
    dir.Write("out/keep.txt", "precious");
    Call call;
    call.options.useFolderNames = 1;
    Call r = Unzip(call, zip, dir / "out");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.messages.find("symbolic link"), std::string::npos) << r.messages;
    EXPECT_EQ(ReadFile(dir / "out/keep.txt") + ReadFile(dir / "out/ok.txt"), "preciousfine");
    EXPECT_EQ(Tree(dir / "out"), "keep.txt ok.txt sub") << "no temporary file left";
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere")) << "a planted link is not followed";
}
