#include <gtest/gtest.h>

#include "registry/registry_value.h"

using namespace registry;

TEST(TextType, ExpandNeedsTwoPercentsWithSomethingBetween) {
    for (const wchar_t *expand : {L"%TEMP%\\x", L"a%b%", L"%%x%"})
        EXPECT_EQ(TextTypeFor(expand), kRegExpandSz) << expand;
    for (const wchar_t *plain : {L"100%", L"%%", L"x%%y", L"\"C:\\x.exe\" \"%1\"", L""})
        EXPECT_EQ(TextTypeFor(plain), kRegSz) << plain;
}
