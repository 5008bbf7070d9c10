// cUnzip with the real unzip library on archives written by python3's zipfile and Debian's zip.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "archive_support.h"
#include "common/text.h"
#include "unzip/shared_library.h"
#include "unzip/unzip.h"

using namespace ziptest;

namespace {

class RealLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        mUnzip::UseLibrary(mUnzip::UnzipLibrary(mUnzip::UnzipLibraryFileName()));
        std::filesystem::create_directory(out);
    }
    // Lists `archive` the way the wizard does, extracting into `out`.
    void Open(const std::filesystem::path &archive) {
        unzip.ZipFile(mend::WideFromUtf8(archive.string()));
        unzip.UnzipFolder(mend::WideFromUtf8(out.string()));
        unzip.Directory();
    }
    void KeepOnly(const std::vector<std::wstring> &names) {
        for (int32_t i = 1; i <= unzip.FileCount(); ++i)
            unzip.FileSelected(i, std::find(names.begin(), names.end(), unzip.FileName(i)) != names.end());
    }

    ScratchFolder scratch;
    std::filesystem::path zip = scratch / "kit.zip";
    std::filesystem::path out = scratch / "game";
    cUnzip unzip;
};

TEST_F(RealLibrary, ListsEveryFileMemberWithItsFields) {
    auto facts = MakeZip(zip, R"([
        {"name": "dir/"},
        {"name": "dir/sub/"},
        {"name": "dir/sub/file.txt", "text": "squeeze me ", "repeat": 200},
        {"name": "top.txt", "text": "plain", "stored": true, "date": [2001, 12, 31, 23, 59, 58]},
        {"name": "Pr\u00e9f\u00e9rences/\u4e2d.dat", "text": "x"}])");
    Open(zip);
    EXPECT_EQ(unzip.LibraryStatus(), 0);
    ASSERT_EQ(unzip.FileCount(), 3) << "folder entries are not members";

    EXPECT_EQ(unzip.FileName(1), L"file.txt");
    EXPECT_EQ(unzip.FileDirectory(1), L"dir\\sub");
    EXPECT_EQ(unzip.FileSize(1), facts[0].compressedSize);
    int32_t saved = static_cast<int32_t>(100 - 100 * facts[0].compressedSize / facts[0].size);
    EXPECT_NEAR(unzip.FileCompressionRatio(1), saved, 1);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", unzip.FileCRC(1));
    EXPECT_EQ(crc, facts[0].crc);
    ZipDate d = unzip.FileDate(1);
    EXPECT_EQ(std::vector<int32_t>({d.year, d.month, d.day, d.hour, d.minute, d.second}),
              std::vector<int32_t>({2004, 6, 15, 13, 45, 0}));
    EXPECT_FALSE(unzip.FileCompressionMethod(1).empty());

    EXPECT_EQ(unzip.FileName(2), L"top.txt");
    EXPECT_EQ(unzip.FileDirectory(2), L"");
    EXPECT_EQ(unzip.FileSize(2), 5);
    EXPECT_EQ(unzip.FileCompressionRatio(2), 0);
    EXPECT_NE(unzip.FileCompressionMethod(2), unzip.FileCompressionMethod(1));
    d = unzip.FileDate(2);
    EXPECT_EQ(std::vector<int32_t>({d.year, d.month, d.day, d.hour, d.minute, d.second}),
              std::vector<int32_t>({2001, 12, 31, 23, 59, 0}));

    EXPECT_EQ(unzip.FileDirectory(3), L"Pr\u00e9f\u00e9rences");
    EXPECT_EQ(unzip.FileName(3), L"\u4e2d.dat");
}

TEST_F(RealLibrary, ExtractsOnlyTheChosenMembers) {
    MakeZip(zip, R"([{"name": "Nightjar.exe", "text": "MZ launcher"},
                     {"name": "Nightjar.htm", "text": "<html>help</html>"},
                     {"name": "Turbo.EXE", "text": "turbo"},
                     {"name": "sub/Nightjar.txt", "text": "nested"}])");
    std::vector<int32_t> counts;
    unzip.Progress = [&](int32_t lCount, const std::wstring &) { counts.push_back(lCount); };
    Open(zip);
    KeepOnly({L"Nightjar.exe", L"Nightjar.htm"});
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(FileNames(out), std::vector<std::string>({"Nightjar.exe", "Nightjar.htm"}));
    EXPECT_EQ(ReadFile(out / "Nightjar.exe"), "MZ launcher");
    EXPECT_EQ(ReadFile(out / "Nightjar.htm"), "<html>help</html>");
    for (int32_t c : counts)
        EXPECT_EQ(c, 1);

    KeepOnly({});
    EXPECT_FALSE(unzip.Unzip()) << "nothing chosen";
    EXPECT_EQ(FileNames(out).size(), 2u);
}

TEST_F(RealLibrary, ExtractsAllBut2Of1025Members) {
    MakeZip(zip, R"([{"many": 1025}])");
    Open(zip);
    ASSERT_EQ(unzip.FileCount(), 1025);
    unzip.FileSelected(1, false);
    unzip.FileSelected(1025, false);
    EXPECT_TRUE(unzip.Unzip());
    auto names = FileNames(out);
    EXPECT_EQ(names.size(), 1023u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "f1.txt"), 0);
    EXPECT_EQ(ReadFile(out / "f1024.txt"), "member 1024\n");
}

TEST_F(RealLibrary, AnArchiveTheLibraryCannotReadListsNothingAndExtractsNothing) {
    Open(scratch / "absent.zip");
    EXPECT_EQ(unzip.FileCount(), 0);
    EXPECT_NE(unzip.LibraryStatus(), 0);
    EXPECT_FALSE(unzip.Unzip());

    std::ofstream(scratch / "text.zip") << "this is not a zip archive";
    unzip.ZipFile(mend::WideFromUtf8((scratch / "text.zip").string()));
    unzip.Directory();
    EXPECT_EQ(unzip.FileCount(), 0);
    EXPECT_NE(unzip.LibraryStatus(), 0);
    EXPECT_FALSE(unzip.Unzip());
    EXPECT_TRUE(FileNames(out).empty());
}

TEST_F(RealLibrary, EncryptedMembersTakeTheHostsPassword) {
    std::ofstream(scratch / "secret.txt") << "classified";
    std::string command =
        "cd " + Quote(scratch.Path().string()) + " && zip -q -P 'open sesame' kit.zip secret.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Open(zip);
    ASSERT_EQ(unzip.FileCount(), 1);
    EXPECT_TRUE(unzip.FileEncrypted(1));

    int requests = 0;
    std::wstring answer = L"   ";
    unzip.PasswordRequest = [&](std::wstring &sPassword, bool &) {
        ++requests;
        sPassword = answer;
    };
    EXPECT_FALSE(unzip.Unzip()) << "a password of spaces refuses";
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(std::filesystem::exists(out / "secret.txt"));

    answer = L" open sesame ";
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(ReadFile(out / "secret.txt"), "classified");
}

} // namespace
