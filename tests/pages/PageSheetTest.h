// The main sheet built anew for each test with the page under test and any
// neighbours, the message boxes recorded, and the ways a test works the
// page's controls. Header-only.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QListWidget>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "AppTitle.h"
#include "CListCtrl.h"
#include "CMainPropertySheet.h"
#include "MessageBoxRecorder.h"
#include "Resources.h"
#include "objbase.h"

namespace pagetest {

inline std::string SqliteInitString(const std::string& path) {
  return "Provider=Ravezov.SQLite;Data Source=" + path;
}

// The row whose first column is `name` in a list control, or -1.
inline int FindRow(CListCtrl& list, const std::string& name) {
  for (int i = 0; i < list.GetItemCount(); ++i)
    if (list.GetItemText(i, 0).str() == name) return i;
  return -1;
}

// Makes the row named `name` the only selected one, as a click would.
inline void SelectRow(CListCtrl& list, const std::string& name) {
  list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  const int item = FindRow(list, name);
  ASSERT_GE(item, 0) << name;
  list.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

template <class Page>
class PageSheetTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllResources(); }
  // The sheet takes `pages` in order, one of them `page`, and shows `page`
  // when it is not the first (the first shows on its own).
  void BuildSheet(std::initializer_list<CPropertyPage*> pages) {
    CoInitialize(nullptr);
    sheet = std::make_unique<CMainPropertySheet>(kAppTitle);
    for (CPropertyPage* each : pages) sheet->AddPage(each);
    ASSERT_TRUE(sheet->Create());
    if (*pages.begin() != page) sheet->SetActivePage(page);
  }
  void TearDown() override {
    if (!sheet) return;  // skipped before the sheet was built
    sheet.reset();
    CoUninitialize();
  }

  void Press(int id) { static_cast<QAbstractButton*>(page->ControlById(id))->click(); }
  bool Enabled(int id) { return page->ControlById(id)->isEnabled(); }
  std::string FirstBox() { return boxes.Calls().empty() ? "" : boxes.Texts()[0]; }

  QListWidget* List(int id) { return qobject_cast<QListWidget*>(page->ControlById(id)); }
  std::vector<std::string> Items(int id) {
    std::vector<std::string> items;
    for (int i = 0; i < List(id)->count(); ++i) items.push_back(List(id)->item(i)->text().toStdString());
    return items;
  }
  // Selects the item as a click would, raising the selection notification.
  void Pick(int id, const std::string& text) {
    const auto found = List(id)->findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    List(id)->setCurrentItem(found[0]);
  }

  MessageBoxRecorder boxes;
  std::unique_ptr<CMainPropertySheet> sheet;
  Page* page = nullptr;
};

}  // namespace pagetest
