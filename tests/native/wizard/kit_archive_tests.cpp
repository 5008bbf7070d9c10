// The kit archive's name: the platform's pattern search also matches short (8.3) names, so the
// long name is checked again.
#include <gtest/gtest.h>

#include "wizard/services/kit_archive.h"

TEST(KitArchiveName, MatchesMendStarZipOnTheLongNameInAnyCase) {
    for (const wchar_t *name : {L"MendpackFiles.zip", L"mendpack.ZIP", L"Mend.zip", L"MEND kit v2.Zip"})
        EXPECT_TRUE(wizard::MatchesKitPattern(name)) << name;
    for (const wchar_t *name :
         {L"Mendpack.zipx", L"Mendpack.zip.bak", L"MyMend.zip", L"Men.zip", L"Mend.zi", L""})
        EXPECT_FALSE(wizard::MatchesKitPattern(name)) << name;
}
