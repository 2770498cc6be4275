#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "ShellServices.h"
#include "UpdateAddress.h"
#include "objbase.h"

namespace {

TEST(AboutPage, TheAddressButtonOpensTheUpdatePageMaximizedAndLeavesTheSheetAlone) {
  RegisterAllResources();
  CoInitialize(nullptr);
  {
    CMainPropertySheet sheet(kAppTitle);
    AddToolPages(sheet);
    ASSERT_TRUE(sheet.Create());
    sheet.OnSysCommand(IDM_ABOUTBOX, 0);
    CPropertyPage* about = sheet.GetActivePage();
    ASSERT_EQ(about->GetTitle(), "About Ravezov");
    std::vector<ShellExecuteCall> calls;
    const ShellExecuteHook previous = SetShellExecuteHook([&](const ShellExecuteCall& call) {
      calls.push_back(call);
      return INT_PTR(42);
    });
    auto* link = qobject_cast<QPushButton*>(about->ControlById(IDC_UPDATE_LINK));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text().toStdString(), kUpdatePageAddress);
    QTest::mouseClick(link, Qt::LeftButton);
    SetShellExecuteHook(previous);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].verb, "");
    EXPECT_EQ(calls[0].file, kUpdatePageAddress);
    EXPECT_EQ(calls[0].showCommand, SW_SHOWMAXIMIZED);
    EXPECT_EQ(calls[0].owner, about->GetSafeHwnd());
    EXPECT_TRUE(sheet.GetWidget()->isVisible());
    EXPECT_EQ(sheet.GetActivePage(), about);
  }
  CoUninitialize();
}

}  // namespace
