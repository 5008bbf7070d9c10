// The kit archive's name: the platform's pattern search also matches short (8.3) names, so the
// long name is checked again.
#include <gtest/gtest.h>

#include "installers/kit_archive.h"

TEST(KitArchiveName, MatchesMendStarZipOnTheLongNameInAnyCase) {
    for (const wchar_t *name : {L"MendpackFiles.zip", L"mendpack.ZIP", L"Mend.zip", L"MEND kit v2.Zip"})
        EXPECT_TRUE(installers::MatchesKitPattern(name)) << name;
    for (const wchar_t *name :
         {L"Mendpack.zipx", L"Mendpack.zip.bak", L"MyMend.zip", L"Men.zip", L"Mend.zi", L""})
        EXPECT_FALSE(installers::MatchesKitPattern(name)) << name;
}

TEST(KitArchiveName, JoinPathKeepsADrivesRootWhole) {
    EXPECT_EQ(installers::JoinPath(L"C:\\Games\\GF3D", L"Nightjar.EXE"), L"C:\\Games\\GF3D\\Nightjar.EXE");
    EXPECT_EQ(installers::JoinPath(L"D:\\", L"Nightjar.EXE"), L"D:\\Nightjar.EXE");
}
