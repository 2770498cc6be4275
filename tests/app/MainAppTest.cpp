#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "CMainApp.h"
#include "MultiRowTabBar.h"

namespace {

TEST(MainApp, RunsTheSheetModallyAndEndsWithoutAMessageLoop) {
  CMainApp app;
  std::string title;
  std::string currentTab;
  int tabs = 0;
  QTimer::singleShot(0, [&] {
    QWidget* sheet = QApplication::activeModalWidget();
    ASSERT_NE(sheet, nullptr);
    title = sheet->windowTitle().toStdString();
    MultiRowTabBar* tabBar = nullptr;
    for (QWidget* child : sheet->findChildren<QWidget*>())
      if (auto* bar = dynamic_cast<MultiRowTabBar*>(child)) tabBar = bar;
    ASSERT_NE(tabBar, nullptr);
    tabs = tabBar->Count();
    currentTab = tabBar->TabText(tabBar->CurrentIndex()).toStdString();
    sheet->close();  // as the title bar's close box does
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(title, "Ravezov 1.0");
  EXPECT_EQ(currentTab, "Connection String Builder");
  EXPECT_EQ(tabs, 7);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
