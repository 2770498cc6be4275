#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "UiTestTemplates.h"

using namespace uitest;

namespace {

class ThreePageSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    for (CPropertyPage* page : {&a, &b, &c}) sheet.AddPage(page);
  }
  void ClickTab(int index) {
    MultiRowTabBar* tabs = sheet.GetTabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(index).center());
  }
  QLineEdit* EditOf(CPropertyPage& page) { return qobject_cast<QLineEdit*>(page.ControlById(kEdit)); }

  std::vector<std::string> log;
  RecordingPage a{"A", log}, b{"B", log}, c{"C", log};
  CPropertySheet sheet{"Sheet"};
};

TEST_F(ThreePageSheet, CreatesOnlyTheStartPageAndTheOthersOnFirstShow) {
  ASSERT_TRUE(sheet.Create());
  EXPECT_TRUE(a.HasWindow());
  EXPECT_FALSE(b.HasWindow());
  EXPECT_FALSE(c.HasWindow());
  // The first activation does not write the members into the controls a
  // second time: OnInitDialog already did.
  EXPECT_EQ(log, (std::vector<std::string>{"A:init", "A:load", "A:active"}));

  log.clear();
  ClickTab(1);
  EXPECT_EQ(log, (std::vector<std::string>{"A:save", "B:init", "B:load", "B:active"}));
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  EXPECT_EQ(sheet.GetActivePage(), &b);

  log.clear();
  ClickTab(0);
  EXPECT_EQ(log, (std::vector<std::string>{"B:save", "A:load", "A:active"}));
  EXPECT_FALSE(c.HasWindow());
}

TEST_F(ThreePageSheet, LeavingAPageReadsItsControlsAndReturningWritesThemBack) {
  ASSERT_TRUE(sheet.Create());
  QLineEdit* edit = EditOf(a);
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, "typed");
  EXPECT_TRUE(a.m_text.IsEmpty());
  ClickTab(2);
  EXPECT_EQ(a.m_text, "typed");

  a.m_text = "from member";
  sheet.SetActivePage(0);
  EXPECT_EQ(edit->text(), "from member");
  // DDX_Control bound the member once, to the page's own control.
  EXPECT_EQ(a.m_edit.GetWidget(), edit);
  EXPECT_EQ(a.GetDlgItem(kEdit), &a.m_edit);
}

TEST_F(ThreePageSheet, AKillActiveFailureKeepsTheUserOnThePage) {
  struct Stubborn : RecordingPage {
    using RecordingPage::RecordingPage;
    BOOL OnKillActive() override { return FALSE; }
  } stubborn{"S", log};
  CPropertySheet two("Two");
  two.AddPage(&stubborn);
  two.AddPage(&b);
  ASSERT_TRUE(two.Create());
  MultiRowTabBar* tabs = two.GetTabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(1).center());
  EXPECT_EQ(two.GetActiveIndex(), 0);
  EXPECT_EQ(tabs->CurrentIndex(), 0);
  EXPECT_FALSE(b.HasWindow());
}

TEST_F(ThreePageSheet, CtrlTabTurnsThePagesBothWays) {
  ASSERT_TRUE(sheet.Create());
  QWidget* window = sheet.GetWidget();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  QTest::keyClick(window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(sheet.GetActiveIndex(), 2);
}

TEST_F(ThreePageSheet, QuerySiblingsReachesCreatedPagesInTabOrderUntilOneAnswers) {
  ASSERT_TRUE(sheet.Create());
  ASSERT_TRUE(sheet.SetActivePage(2));
  log.clear();

  EXPECT_EQ(c.QuerySiblings(7, 9), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"A:query", "C:query"}));  // B has no window
  EXPECT_EQ(a.m_queryArgs, (std::pair<WPARAM, LPARAM>{7, 9}));

  log.clear();
  a.m_queryAnswer = 42;
  EXPECT_EQ(c.QuerySiblings(0, 0), 42);
  EXPECT_EQ(log, (std::vector<std::string>{"A:query"}));

  CPropertyPage lonely(PageTemplate(0, "Lonely"));
  EXPECT_EQ(lonely.QuerySiblings(1, 1), 0);
}

TEST_F(ThreePageSheet, SetActivePageBeforeRunningChoosesTheStartPage) {
  EXPECT_TRUE(sheet.SetActivePage(&c));
  EXPECT_FALSE(sheet.SetActivePage(3));
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(sheet.GetActivePage(), &c);
  EXPECT_FALSE(a.HasWindow());
  EXPECT_EQ(sheet.GetPageCount(), 3);
  EXPECT_EQ(sheet.GetPage(1), &b);
  EXPECT_EQ(sheet.GetPage(3), nullptr);
  EXPECT_EQ(sheet.GetTabBar()->TabText(1), "B");
  // The page's parent is the sheet, as a page takes its sheet from there.
  EXPECT_EQ(c.GetParent(), &sheet);
}

TEST_F(ThreePageSheet, RunningAgainRecreatesThePagesFromScratch) {
  QTimer::singleShot(0, [&] {
    sheet.SetActivePage(1);
    sheet.PressButton(IDCANCEL);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_FALSE(a.HasWindow());
  EXPECT_FALSE(b.HasWindow());
  EXPECT_FALSE(sheet.HasWindow());
  EXPECT_EQ(a.m_edit.GetWidget(), nullptr);

  // The next run starts at the start page again, with new windows.
  log.clear();
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(log, (std::vector<std::string>{"A:init", "A:load", "A:active"}));
}

TEST_F(ThreePageSheet, ADestroyedPageLeavesTheSheet) {
  auto* extra = new RecordingPage("X", log);
  sheet.AddPage(extra);
  ASSERT_TRUE(sheet.Create());
  sheet.SetActivePage(3);
  delete extra;
  EXPECT_EQ(sheet.GetPageCount(), 3);
  EXPECT_EQ(sheet.GetTabBar()->Count(), 3);
  EXPECT_EQ(sheet.GetActivePage(), &c);
  EXPECT_EQ(sheet.QuerySiblings(0, 0), 0);
}

// A sheet set up as the application's main sheet is: minimize box, no OK,
// Apply or Help, "&Close" as default button, an extra system-menu entry.
class MainLikeSheet : public CPropertySheet {
 public:
  static constexpr UINT kAboutCommand = 0x0010;
  MainLikeSheet() : CPropertySheet("Title", nullptr, 0) { m_psh.dwFlags |= PSH_NOAPPLYNOW; }

  void OnPreCreate(DWORD& style, DWORD& exStyle) override {
    style = (style & ~DS_MODALFRAME) | WS_MINIMIZEBOX;
    exStyle |= WS_EX_APPWINDOW;
  }
  void OnInitialized() override {
    GetDlgItem(IDCANCEL)->SetWindowText("&Close");
    GetDlgItem(IDOK)->DestroyWindow();
    SetDefID(IDCANCEL);
    CMenu* menu = GetSystemMenu(FALSE);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, kAboutCommand, "&About...");
  }
  void OnSysCommand(UINT id, LPARAM lParam) override {
    commands.push_back(id);
    if ((id & 0xFFF0) == kAboutCommand)
      SetActivePage(GetPageCount() - 1);
    else
      CPropertySheet::OnSysCommand(id, lParam);
  }
  std::vector<UINT> commands;
};

class MainLikeSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (CPropertyPage* page : {&a, &b}) {
      page->m_psp.dwFlags &= ~PSP_HASHELP;
      sheet.AddPage(page);
    }
  }
  void TearDown() override { CMenu::SetPopupChooser(nullptr); }
  QPushButton* ButtonOf(int id) { return qobject_cast<QPushButton*>(sheet.GetDlgItem(id) ? sheet.GetDlgItem(id)->GetWidget() : nullptr); }

  std::vector<std::string> log;
  RecordingPage a{"A", log}, b{"B", log};
  MainLikeSheet sheet;
};

TEST_F(MainLikeSheetTest, ShowsOnlyADefaultCloseButtonAndAMinimizeBox) {
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(sheet.GetDlgItem(IDOK), nullptr);
  EXPECT_FALSE(ButtonOf(ID_APPLY_NOW)->isVisible());
  EXPECT_FALSE(ButtonOf(IDHELP)->isVisible());
  QPushButton* close = ButtonOf(IDCANCEL);
  EXPECT_TRUE(close->isVisible());
  EXPECT_EQ(close->text(), "&Close");
  EXPECT_TRUE(close->isDefault());
  EXPECT_EQ(sheet.GetDefID(), static_cast<DWORD>(IDCANCEL));
  EXPECT_TRUE(sheet.GetWidget()->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(sheet.GetStyle() & DS_MODALFRAME);
  EXPECT_TRUE(sheet.GetExStyle() & WS_EX_APPWINDOW);
}

TEST_F(MainLikeSheetTest, SetTitleStyleZeroIsTheWholeTitle) {
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(sheet.GetWidget()->windowTitle(), "Title");
  sheet.SetTitle("Title - Provider", 0);
  EXPECT_EQ(sheet.GetWidget()->windowTitle(), "Title - Provider");
  sheet.SetTitle("x", PSH_PROPTITLE);
  EXPECT_EQ(sheet.GetWidget()->windowTitle(), "Properties for x");
}

TEST_F(MainLikeSheetTest, EnterPressesTheDefaultCloseButtonAndEndsWithCancel) {
  QTimer::singleShot(0, [&] { QTest::keyClick(sheet.GetWidget(), Qt::Key_Return); });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  QTimer::singleShot(0, [&] { QTest::keyClick(sheet.GetWidget(), Qt::Key_Escape); });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST_F(MainLikeSheetTest, SystemMenuHasTheDefaultsAndTheAppendedEntry) {
  EXPECT_EQ(sheet.GetSystemMenu(FALSE), nullptr);  // no window yet
  ASSERT_TRUE(sheet.Create());
  CMenu* menu = sheet.GetSystemMenu(FALSE);
  ASSERT_NE(menu, nullptr);
  std::vector<UINT> ids;
  for (int i = 0; i < menu->GetMenuItemCount(); ++i) ids.push_back(menu->GetMenuItemID(i));
  EXPECT_EQ(ids, (std::vector<UINT>{SC_MINIMIZE, 0, SC_CLOSE, 0, MainLikeSheet::kAboutCommand}));
  CString text;
  menu->GetMenuString(MainLikeSheet::kAboutCommand, text, MF_BYCOMMAND);
  EXPECT_EQ(text, "&About...");
  sheet.GetSystemMenu(TRUE);
  EXPECT_EQ(menu->GetMenuItemCount(), 3);
}

TEST_F(MainLikeSheetTest, AltSpaceOpensTheSystemMenuAndTheChoiceReachesOnSysCommand) {
  ASSERT_TRUE(sheet.Create());
  QWidget* window = sheet.GetWidget();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  int shown = 0;
  CMenu::SetPopupChooser([&](const CMenu& menu) {
    ++shown;
    return menu.Items().back().id;  // the appended entry
  });
  QTest::keyClick(window, Qt::Key_Space, Qt::AltModifier);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(sheet.commands, (std::vector<UINT>{MainLikeSheet::kAboutCommand}));
  EXPECT_EQ(sheet.GetActivePage(), &b);
  // Ids 0x10 to 0x1F all count as the entry; choosing it again changes nothing.
  sheet.OnSysCommand(0x001F, 0);
  EXPECT_EQ(sheet.GetActivePage(), &b);
  EXPECT_EQ(log.back(), "B:active");
}

TEST_F(MainLikeSheetTest, RightClickOnTheTabsOpensTheRealMenu) {
  ASSERT_TRUE(sheet.Create());
  MultiRowTabBar* tabs = sheet.GetTabBar();
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    for (QAction* action : popup->actions()) seen << action->text();
    for (QAction* action : popup->actions())
      if (action->text() == "&Close\tAlt+F4") action->trigger();
    popup->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, tabs->TabRect(0).center(), tabs->mapToGlobal(tabs->TabRect(0).center()));
  QApplication::sendEvent(tabs, &event);
  EXPECT_EQ(seen, (QStringList{"Mi&nimize", "", "&Close\tAlt+F4", "", "&About..."}));
  // The default handling of SC_CLOSE closes the sheet as Cancel does.
  EXPECT_EQ(sheet.commands, (std::vector<UINT>{SC_CLOSE}));
  EXPECT_FALSE(sheet.GetWidget()->isVisible());
}

TEST(PropertySheetButtons, OkAppliesEveryCreatedPageAndApplyFollowsSetModified) {
  struct Counting : CPropertyPage {
    using CPropertyPage::CPropertyPage;
    BOOL OnApply() override {
      ++applied;
      return TRUE;
    }
    int applied = 0;
  } first(PageTemplate(0, "1")), second(PageTemplate(0, "2"));
  CPropertySheet sheet("S");
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  ASSERT_TRUE(sheet.Create());
  auto* apply = qobject_cast<QPushButton*>(sheet.GetDlgItem(ID_APPLY_NOW)->GetWidget());
  EXPECT_TRUE(apply->isVisible());
  EXPECT_FALSE(apply->isEnabled());
  first.SetModified();
  EXPECT_TRUE(apply->isEnabled());
  sheet.PressButton(ID_APPLY_NOW);
  EXPECT_EQ(first.applied, 1);
  EXPECT_EQ(second.applied, 0);  // never shown, so never applied
  EXPECT_FALSE(apply->isEnabled());
  sheet.PressButton(IDOK);
  EXPECT_EQ(first.applied, 2);
  EXPECT_FALSE(sheet.GetWidget()->isVisible());
}

}  // namespace
