// A single-selection list box keeps its selection against every user
// gesture that would empty it; the program may still clear it.
#include <gtest/gtest.h>

#include <QTest>

#include "SingleSelectionList.h"

namespace {

class SingleSelection : public testing::Test {
 protected:
  void SetUp() override {
    list.addItems({"TABLES", "COLUMNS", "INDEXES"});
    list.resize(200, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  }
  void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(list.item(row)).center());
  }
  int Selected() const {
    const QList<QListWidgetItem*> items = list.selectedItems();
    return items.size() == 1 ? list.row(items.front()) : -static_cast<int>(items.size()) - 1;
  }
  SingleSelectionList list;
};

TEST_F(SingleSelection, UserGesturesNeverEmptyIt) {
  Click(1);
  ASSERT_EQ(Selected(), 1);
  Click(1, Qt::ControlModifier);
  EXPECT_EQ(Selected(), 1);
  QTest::keyClick(list.viewport(), Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(Selected(), 1);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 190));  // below the last item
  EXPECT_EQ(Selected(), 1);
  Click(2, Qt::ControlModifier);
  EXPECT_EQ(Selected(), 2);
  Click(0);
  EXPECT_EQ(Selected(), 0);
}

TEST_F(SingleSelection, TheProgramCanStillClearIt) {
  Click(0);
  list.clearSelection();
  EXPECT_EQ(Selected(), -1);
}

}  // namespace
