#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <memory>

#include "UiTestTemplates.h"

using namespace uitest;

namespace {

// Seven pages whose titles are far wider together than one page.
class TabRowsSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 7; ++i) {
      pages.push_back(std::make_unique<RecordingPage>("A Long Page Title " + std::to_string(i + 1), log));
      sheet.AddPage(pages.back().get());
    }
    ASSERT_TRUE(sheet.Create());
    tabs = sheet.GetTabBar();
  }
  QWidget* PageFrame() const { return sheet.GetPage(0)->GetWidget()->parentWidget(); }
  int BottomRow() const { return tabs->RowCount() - 1; }
  // Every tab lies in the bar, rows are full width, and no two tabs overlap.
  void ExpectTidyRows() const {
    for (int i = 0; i < tabs->Count(); ++i) {
      EXPECT_TRUE(tabs->rect().contains(tabs->TabRect(i))) << i;
      for (int j = i + 1; j < tabs->Count(); ++j) EXPECT_FALSE(tabs->TabRect(i).intersects(tabs->TabRect(j))) << i << "," << j;
      const bool endsRow = i + 1 == tabs->Count() || tabs->RowOf(i + 1) != tabs->RowOf(i);
      if (endsRow) {
        EXPECT_EQ(tabs->TabRect(i).right(), tabs->width() - 1) << i;
      }
    }
  }

  std::vector<std::string> log;
  std::vector<std::unique_ptr<RecordingPage>> pages;
  CPropertySheet sheet{"Rows"};
  MultiRowTabBar* tabs = nullptr;
};

TEST_F(TabRowsSheet, TabsWrapIntoRowsAndTheSheetIsAsWideAsThePage) {
  ASSERT_GT(tabs->RowCount(), 1);
  // The bar is exactly as wide as the page's frame; the sheet adds only its
  // margins.
  const int frameWidth = PageFrame()->parentWidget()->width();
  EXPECT_EQ(tabs->width(), frameWidth);
  EXPECT_LE(sheet.GetWidget()->width(), frameWidth + 40);
  EXPECT_EQ(tabs->height(), tabs->RowCount() * tabs->TabRect(0).height());
  ExpectTidyRows();
  // Tab order runs along the rows: the first row is next to the page while
  // the first tab is selected.
  EXPECT_EQ(tabs->RowOf(0), 0);
  EXPECT_EQ(tabs->RowOf(6), tabs->RowCount() - 1);
  EXPECT_EQ(tabs->DisplayRowOf(0), BottomRow());
  EXPECT_EQ(tabs->TabRect(0).bottom(), tabs->height() - 1);
}

TEST_F(TabRowsSheet, ChoosingATabInAnUpperRowMovesThatRowNextToThePage) {
  ASSERT_GT(tabs->RowCount(), 1);
  const int last = tabs->Count() - 1;
  ASSERT_LT(tabs->DisplayRowOf(last), BottomRow());
  log.clear();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(last).center());

  EXPECT_EQ(sheet.GetActiveIndex(), last);
  EXPECT_EQ(tabs->CurrentIndex(), last);
  EXPECT_EQ(log.front(), "A Long Page Title 1:save");
  EXPECT_EQ(log.back(), "A Long Page Title 7:active");
  EXPECT_EQ(tabs->DisplayRowOf(last), BottomRow());
  EXPECT_EQ(tabs->TabRect(last).bottom(), tabs->height() - 1);
  // The other rows keep their cyclic order above it: the first row, which
  // follows the last, comes right above.
  EXPECT_EQ(tabs->DisplayRowOf(0), BottomRow() - 1);
  ExpectTidyRows();

  // Choosing from code moves the rows the same way.
  ASSERT_TRUE(sheet.SetActivePage(0));
  EXPECT_EQ(tabs->DisplayRowOf(0), BottomRow());
  EXPECT_EQ(tabs->DisplayRowOf(last), 0);
}

TEST_F(TabRowsSheet, ArrowKeysOnTheTabsTurnThePagesThroughTheSheet) {
  tabs->setFocus();
  QTest::keyClick(tabs, Qt::Key_Right);
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  QTest::keyClick(tabs, Qt::Key_End);
  EXPECT_EQ(sheet.GetActiveIndex(), 6);
  EXPECT_EQ(tabs->DisplayRowOf(6), BottomRow());
  QTest::keyClick(tabs, Qt::Key_Right);  // no wrapping past the last tab
  EXPECT_EQ(sheet.GetActiveIndex(), 6);
  QTest::keyClick(tabs, Qt::Key_Home);
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST(TabRowsShortTitles, FewShortTabsStayInOneRowAtTheirNaturalWidths) {
  std::vector<std::string> log;
  RecordingPage a{"A", log}, b{"B", log};
  CPropertySheet sheet("Short");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  ASSERT_TRUE(sheet.Create());
  MultiRowTabBar* tabs = sheet.GetTabBar();
  EXPECT_EQ(tabs->RowCount(), 1);
  EXPECT_EQ(tabs->TabRect(1).left(), tabs->TabRect(0).right() + 1);
  EXPECT_LT(tabs->TabRect(1).right(), tabs->width() / 2);
  EXPECT_EQ(tabs->TabAt(tabs->TabRect(1).center()), 1);
  EXPECT_EQ(tabs->TabAt(QPoint(tabs->width() - 1, tabs->height() / 2)), -1);
}

}  // namespace
