// Enter on a page: a multi-line edit without the want-return style leaves
// it to the default button (Ctrl+Enter starts a line), a page's own
// default button serves only that page, and a report list's divider
// double-click fits the column.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "CListCtrl.h"
#include "UiTestTemplates.h"

using namespace uitest;

namespace {

class ClickPage : public RecordingPage {
 public:
  ClickPage(std::string name, std::vector<std::string>& log) : RecordingPage(std::move(name), log) {
    OnBnClicked(kButton, [this] { ++clicks; });
  }
  int clicks = 0;
};

QPlainTextEdit* MultiLine(CPropertyPage& page) {
  return qobject_cast<QPlainTextEdit*>(page.ControlById(kMultiLine));
}

TEST(PageKeyboard, APagesDefaultButtonTakesEnterOnThatPageOnlyAndCtrlEnterStartsALine) {
  std::vector<std::string> log;
  ClickPage a("A", log);
  ClickPage b("B", log);
  CPropertySheet sheet("Title", nullptr, 0);
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  QTimer::singleShot(0, [&] {
    a.SetDefID(kButton);
    QPlainTextEdit* edit = MultiLine(a);
    edit->setFocus();
    QTest::keyClicks(edit, "one");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(a.clicks, 1);
    EXPECT_EQ(edit->toPlainText(), "one");
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(edit->toPlainText(), "one\n");
    EXPECT_EQ(a.clicks, 1);
    EXPECT_EQ(sheet.GetDefID(), static_cast<DWORD>(IDOK));  // the sheet keeps its own default

    sheet.SetActivePage(1);
    EXPECT_TRUE(qobject_cast<QPushButton*>(sheet.GetDlgItem(IDOK)->GetWidget())->isDefault());  // drawn so again
    QPlainTextEdit* other = MultiLine(b);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);  // no default of its own: the sheet's OK
    EXPECT_EQ(b.clicks, 0);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(a.clicks, 1);
}

TEST(PageKeyboard, AWantReturnEditKeepsEnter) {
  std::vector<std::string> log;
  DialogTemplate t = PageTemplate(0, "W");
  for (ControlTemplate& c : t.controls)
    if (c.id == kMultiLine) c.style |= ES_WANTRETURN;
  struct Page : CPropertyPage {
    explicit Page(DialogTemplate t) : CPropertyPage(std::move(t)) {}
  } page(t);
  CPropertySheet sheet("Title", nullptr, 0);
  sheet.AddPage(&page);
  ASSERT_TRUE(sheet.Create());
  page.SetDefID(kButton);
  QPlainTextEdit* edit = MultiLine(page);
  QTest::keyClicks(edit, "a");
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClicks(edit, "b");
  EXPECT_EQ(edit->toPlainText(), "a\nb");
  EXPECT_TRUE(sheet.GetWidget()->isVisible());
}

TEST(PageKeyboard, DoubleClickingADividerFitsTheColumnToTheRowsShown) {
  CListCtrl list;
  QWidget host;
  host.resize(400, 200);
  ASSERT_TRUE(list.Create(LVS_REPORT, RECT{0, 0, 400, 200}, &host, 1));
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 4);
  list.InsertColumn(1, "Other", LVCFMT_LEFT, 50, 1);
  list.InsertItem(0, "short");
  list.InsertItem(1, "a considerably longer text");
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  QHeaderView* header = list.View()->findChild<QHeaderView*>();
  ASSERT_NE(header, nullptr);
  emit header->sectionHandleDoubleClicked(0);
  const int fitted = list.GetColumnWidth(0);
  EXPECT_GT(fitted, QFontMetrics(list.View()->font()).horizontalAdvance("a considerably longer text"));
  EXPECT_LT(fitted, 400);
  EXPECT_EQ(list.GetColumnWidth(1), 50);
}

}  // namespace
