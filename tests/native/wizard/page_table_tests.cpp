#include <gtest/gtest.h>

#include <set>
#include <string>

#include "wizard/page_layouts.h"

using namespace wizard;

TEST(PageTables, EveryPageHasUniqueNamesAndTabIndexes) {
    for (PageId id : AllPages()) {
        const PageLayout& page = LayoutOf(id);
        std::set<std::wstring> names;
        std::set<int> tabs;
        for (const auto& c : page.controls) {
            EXPECT_TRUE(names.insert(c.name).second) << "duplicate control on page";
            EXPECT_TRUE(tabs.insert(c.tab).second) << "duplicate tab index on page";
        }
        // Tab indexes run from 0 without gaps.
        EXPECT_EQ(*tabs.rbegin(), static_cast<int>(tabs.size()) - 1);
    }
}

TEST(PageTables, ButtonsStandInOneRowAndUseTheDialogFont) {
    for (PageId id : AllPages()) {
        for (const auto& c : LayoutOf(id).controls) {
            if (c.kind != ControlKind::Button) continue;
            EXPECT_EQ(c.top, 5000);
            EXPECT_EQ(c.width, 1095);
            EXPECT_EQ(c.height, 375);
            EXPECT_EQ(c.font, FontKind::DialogDefault);
        }
    }
}

TEST(PageTables, InstallPagesOfferNextSkipAndExit) {
    for (PageId id : {PageId::frmStep3, PageId::frmStep4, PageId::frmStep5, PageId::frmStep6, PageId::frmStep8}) {
        const PageLayout& page = LayoutOf(id);
        ASSERT_TRUE(page.Find(L"Next") && page.Find(L"Skip") && page.Find(L"Exit"));
        EXPECT_EQ(page.Find(L"Next")->left, 5300);
        EXPECT_EQ(page.Find(L"Skip")->left, 4000);
        EXPECT_EQ(page.Find(L"Exit")->left, 2700);
        EXPECT_EQ(page.InTabOrder().front()->name, std::wstring(L"Next"));
        EXPECT_STREQ(page.caption, L"GF3D Mendpack Install Wizard");
    }
}

TEST(PageTables, TextsKeepTheirDoubleSpaces) {
    EXPECT_EQ(std::wstring(LayoutOf(PageId::frmUninstall).Find(L"Label2")->text).substr(
                  std::wcslen(LayoutOf(PageId::frmUninstall).Find(L"Label2")->text) - 3),
              L".  ");
    EXPECT_NE(std::wstring(LayoutOf(PageId::frmStep8).Find(L"Label2")->text).find(L"install  pre-configured"),
              std::wstring::npos);
    EXPECT_EQ(LayoutOf(PageId::frmStart).Find(L"Label1")->font, FontKind::Georgia18Bold);
    EXPECT_STREQ(LayoutOf(PageId::frmStep9).Find(L"Exit")->text, L"Finish");
}
