// The one extraction step of every install page, seen from the library's side: what it is asked
// to list and to extract, and that no option of the reader is touched.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_library.h"
#include "installers/kit_archive.h"

namespace {

using installers::ExtractMembers;

class KitExtraction : public ::testing::Test {
  protected:
    void Listing(std::vector<std::string> paths) {
        lib.script = [paths](const UnzipCallbacks &cb, UnzipOptions &options) {
            if (options.listOnly)
                for (const auto &p : paths)
                    fake::List(cb, p.c_str());
            return 0;
        };
    }
    static bool NoOptionSet(const UnzipOptions &o) {
        UnzipOptions blank{};
        blank.listOnly = o.listOnly;
        return std::memcmp(&o, &blank, offsetof(UnzipOptions, zipFile)) == 0;
    }

    fake::Library &lib = fake::Install();
    cUnzip reader;
};

TEST_F(KitExtraction, AsksForTheWantedMembersOnlyWithEveryOptionAtItsDefault) {
    Listing({"Readme.txt", "Bin/OS Glide2x.dll", "OpenGLid.ini", "OpenGLid.INI", "os glide2x.dll"});
    ExtractMembers(reader, L"MendpackFiles.zip", L"C:\\Games\\GF3D", {L"OS Glide2x.dll", L"OpenGLid.INI"});

    ASSERT_EQ(lib.calls.size(), 2u);
    const fake::Call &list = lib.calls[0];
    EXPECT_EQ(list.options.listOnly, 1);
    EXPECT_EQ(list.zipFile, "MendpackFiles.zip");
    EXPECT_TRUE(list.include.empty());
    const fake::Call &extract = lib.calls[1];
    EXPECT_EQ(extract.options.listOnly, 0);
    EXPECT_EQ(extract.zipFile, "MendpackFiles.zip");
    EXPECT_EQ(extract.extractFolder, "C:\\Games\\GF3D");
    // Matched on the file name alone, exactly; the member goes back with its folder.
    EXPECT_EQ(extract.include, (std::vector<std::string>{"Bin/OS Glide2x.dll", "OpenGLid.INI"}));
    EXPECT_TRUE(extract.exclude.empty());
    EXPECT_TRUE(NoOptionSet(list.options));
    EXPECT_TRUE(NoOptionSet(extract.options));
}

TEST_F(KitExtraction, AnArchiveWithoutTheWantedMembersExtractsNothing) {
    Listing({"nightjar.exe", "NIGHTJAR.HTM", "Readme.txt"});
    ExtractMembers(reader, L"MendpackFiles.zip", L"C:\\Games\\GF3D", {L"Nightjar.exe", L"Nightjar.htm"});
    ASSERT_EQ(lib.calls.size(), 1u) << "only the listing reaches the library";

    // No kit archive found: the listing reports nothing and nothing is extracted either.
    lib.calls.clear();
    Listing({});
    ExtractMembers(reader, L"", L"C:\\Games\\GF3D", {L"Nightjar.exe"});
    for (const auto &call : lib.calls)
        EXPECT_EQ(call.options.listOnly, 1);
}

TEST(KitArchiveName, MatchesMendStarZipInItsLongNameInAnyCase) {
    for (const wchar_t *name : {L"MendpackFiles.zip", L"mendpack.ZIP", L"Mend.zip", L"MEND kit v2.Zip"})
        EXPECT_TRUE(installers::MatchesKitPattern(name)) << name;
    // What a search through short (8.3) names would also let through.
    for (const wchar_t *name :
         {L"Mendpack.zipx", L"Mendpack.zip.bak", L"MyMend.zip", L"Men.zip", L"Mend.zi", L""})
        EXPECT_FALSE(installers::MatchesKitPattern(name)) << name;
}

TEST(KitArchiveName, JoinPathKeepsADrivesRootWhole) {
    EXPECT_EQ(installers::JoinPath(L"C:\\Games\\GF3D", L"Nightjar.EXE"), L"C:\\Games\\GF3D\\Nightjar.EXE");
    EXPECT_EQ(installers::JoinPath(L"D:\\", L"Nightjar.EXE"), L"D:\\Nightjar.EXE");
}

} // namespace
