#include <QPushButton>
#include <QWidget>

#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "CMenu.h"
#include "SheetTestSupport.h"

namespace {

class MainSheetTest : public SheetTest {};

std::vector<std::string> TabTexts(const CMainPropertySheet& sheet) {
  std::vector<std::string> texts;
  for (int i = 0; i < sheet.GetTabBar()->Count(); ++i) texts.push_back(sheet.GetTabBar()->TabText(i).toStdString());
  return texts;
}

QPushButton* SheetButton(CMainPropertySheet& sheet, int id) {
  CWnd* button = sheet.GetDlgItem(id);
  return button ? qobject_cast<QPushButton*>(button->GetWidget()) : nullptr;
}

// A data source that notes its end.
class NotingDataSource : public ComObject<IDBInitialize> {
 public:
  explicit NotingDataSource(EventLog& log) : m_log(log) {}
  ~NotingDataSource() override { m_log.push_back("data source released"); }
  HRESULT STDMETHODCALLTYPE Initialize() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Uninitialize() override { return S_OK; }

 private:
  EventLog& m_log;
};

TEST_F(MainSheetTest, StartsOnTheBuilderWithOnlyADefaultCloseButton) {
  CMainPropertySheet sheet(kAppTitle);
  AddToolPages(sheet);
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
  EXPECT_EQ(TabTexts(sheet),
            (std::vector<std::string>{"Connection String Builder", "OLE DB Enumerator", "OLE DB Table Analyzer",
                                      "OLE DB Schema Viewer", "OLE DB Properties Browser", "Command Processor",
                                      "About Ravezov"}));
  EXPECT_EQ(sheet.GetWidget()->windowTitle().toStdString(), "Ravezov 1.0");
  EXPECT_TRUE(sheet.GetWidget()->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(sheet.GetWidget()->windowIcon().isNull());
  EXPECT_EQ(sheet.GetDlgItem(IDOK), nullptr);
  for (int hidden : {ID_APPLY_NOW, IDHELP}) {
    QPushButton* button = SheetButton(sheet, hidden);
    EXPECT_TRUE(!button || !button->isVisible()) << hidden;
  }
  QPushButton* close = SheetButton(sheet, IDCANCEL);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text().toStdString(), "&Close");
  EXPECT_TRUE(close->isVisible());
  EXPECT_TRUE(close->isDefault());
  EXPECT_EQ(sheet.GetDefID(), static_cast<DWORD>(IDCANCEL));
}

TEST_F(MainSheetTest, SystemMenuEndsWithTheAboutEntryWhichSelectsTheLastTab) {
  CMainPropertySheet sheet(kAppTitle);
  AddToolPages(sheet);
  ASSERT_TRUE(sheet.Create());
  const auto& items = sheet.GetSystemMenu(FALSE)->Items();
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[items.size() - 2].flags & MF_SEPARATOR, MF_SEPARATOR);
  EXPECT_EQ(items.back().text, "&About Ravezov...");
  EXPECT_EQ(items.back().id, IDM_ABOUTBOX);

  sheet.SetActivePage(2);
  const CMenu::Chooser previous = CMenu::SetPopupChooser([](const CMenu&) { return UINT_PTR(IDM_ABOUTBOX); });
  sheet.ShowSystemMenu(QPoint(0, 0));
  EXPECT_EQ(sheet.GetActiveIndex(), sheet.GetPageCount() - 1);
  EXPECT_EQ(sheet.GetActivePage()->GetTitle(), "About Ravezov");
  // Again while About is current: nothing changes.
  sheet.ShowSystemMenu(QPoint(0, 0));
  EXPECT_EQ(sheet.GetActiveIndex(), sheet.GetPageCount() - 1);
  CMenu::SetPopupChooser(previous);
}

TEST_F(MainSheetTest, EveryIdFrom0x10To0x1FIsTheAboutEntry) {
  CMainPropertySheet sheet(kAppTitle);
  AddToolPages(sheet);
  ASSERT_TRUE(sheet.Create());
  for (UINT id = 0x10; id <= 0x1F; ++id) {
    sheet.SetActivePage(0);
    sheet.OnSysCommand(id, 0);
    EXPECT_EQ(sheet.GetActiveIndex(), sheet.GetPageCount() - 1) << id;
  }
  sheet.SetActivePage(0);
  sheet.OnSysCommand(0x20, 0);
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(MainSheetTest, PagesAreCreatedWhenFirstShown) {
  CMainPropertySheet sheet(kAppTitle);
  AddToolPages(sheet);
  ASSERT_TRUE(sheet.Create());
  EXPECT_TRUE(sheet.GetPage(0)->HasWindow());
  for (int i = 1; i < sheet.GetPageCount(); ++i) EXPECT_FALSE(sheet.GetPage(i)->HasWindow()) << i;
  sheet.SetActivePage(3);
  EXPECT_TRUE(sheet.GetPage(3)->HasWindow());
  EXPECT_FALSE(sheet.GetPage(1)->HasWindow());
  EXPECT_FALSE(sheet.GetPage(2)->HasWindow());
}

TEST_F(MainSheetTest, TheBroadcastReachesOnlyCreatedPagesInTabOrder) {
  EventLog log;
  CMainPropertySheet sheet(kAppTitle);
  auto* first = new RecordingPage("first", log);
  sheet.AddPage(first);
  sheet.AddPage(new RecordingPage("second", log));
  sheet.AddPage(new RecordingPage("third", log));
  sheet.AddPage(new RecordingPage("fourth", log));
  ASSERT_TRUE(sheet.Create());
  sheet.SetActivePage(3);
  sheet.SetActivePage(2);
  log.clear();
  first->QuerySiblings(0, 0);
  EXPECT_EQ(log, (EventLog{"first drop", "third drop", "fourth drop"}));
}

TEST_F(MainSheetTest, PagesGoFirstThenTheDataSource) {
  EventLog log;
  {
    CMainPropertySheet sheet(kAppTitle);
    sheet.AddPage(new RecordingPage("first", log));
    sheet.AddPage(new RecordingPage("second", log));
    ComObject<IDBInitialize>::CreateInstance<NotingDataSource>(IID_IDBInitialize,
                                                               reinterpret_cast<void**>(&sheet.m_pDataSource), log);
    ASSERT_TRUE(sheet.Create());
    sheet.SetActivePage(1);
  }
  EXPECT_EQ(log, (EventLog{"first deleted", "second deleted", "data source released"}));
}

}  // namespace
