// Data exchange of a list view's selected first-column text, on a list the
// dialog has bound to a list object and on one it has not.
#include <gtest/gtest.h>

#include <string>

#include "CCustListCtrl.h"
#include "DDX_ListViewText.h"
#include "UiFramework.h"

namespace {

constexpr int kListId = 1002;

class SelectionDialog : public CDialog {
 public:
  explicit SelectionDialog(bool bindList) : CDialog(Template()), m_bBindList(bindList) {}

  static DialogTemplate Template() {
    DialogTemplate t;
    t.caption = "Selection";
    t.cx = 200;
    t.cy = 120;
    t.controls = {{kListId, ControlKind::ListView, "", LVS_REPORT | LVS_OWNERDRAWFIXED | WS_TABSTOP, 4, 4, 190, 110}};
    return t;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    if (m_bBindList) DDX_Control(pDX, kListId, m_list);
    DDX_ListViewText(pDX, kListId, m_strSelected);
  }
  // The list either way: the bound object, or a borrowed one.
  CListCtrl& List() {
    if (!m_bBindList && !m_borrowed.HasWindow()) m_borrowed.Borrow(GetDlgItem(kListId)->GetWidget());
    return m_bBindList ? static_cast<CListCtrl&>(m_list) : m_borrowed;
  }
  ~SelectionDialog() override { m_borrowed.Detach(); }

  CString m_strSelected;

 private:
  bool m_bBindList;
  CCustListCtrl m_list;
  CListCtrl m_borrowed;
};

class ListViewText : public testing::TestWithParam<bool> {};

TEST_P(ListViewText, SavesTheSelectedTextWholeAndLoadsItBack) {
  SelectionDialog dialog(GetParam());
  ASSERT_TRUE(dialog.Create());
  CListCtrl& list = dialog.List();
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
  const std::string forty(40, 'x');
  // A two-byte character across the 32-byte buffer's end.
  const std::string straddling = std::string(30, 'y') + "\xC3\xA9" + "zz";
  list.InsertItems(-1, {{"Alpha"}, {forty}, {straddling}, {"Gamma"}});

  ASSERT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(std::string(dialog.m_strSelected.GetString()), "");
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  ASSERT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(std::string(dialog.m_strSelected.GetString()), forty);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(1, 0, LVIS_SELECTED);
  ASSERT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(std::string(dialog.m_strSelected.GetString()), straddling);

  dialog.m_strSelected = "Gamma";
  ASSERT_TRUE(dialog.UpdateData(FALSE));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetItemState(3, LVIS_FOCUSED), LVIS_FOCUSED);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  dialog.m_strSelected = "Nowhere";
  ASSERT_TRUE(dialog.UpdateData(FALSE));
  EXPECT_EQ(list.GetSelectedCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BoundOrNot, ListViewText, testing::Bool());

}  // namespace
