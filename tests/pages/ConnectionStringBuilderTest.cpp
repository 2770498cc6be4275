#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "DARizozezPage.h"
#include "DisplayCopy.h"
#include "MessageBoxRecorder.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "ScriptedDataLinks.h"
#include "TestEnvironment.h"

namespace {

const std::string kSuccessTitle = "Ravezov 1.0 - Ravezov OLE DB Provider for SQLite";

class ConnectionStringBuilderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllResources(); }
  void SetUp() override {
    CoInitialize(nullptr);
    sheet = std::make_unique<CMainPropertySheet>(kAppTitle);
    AddToolPages(*sheet);
    ASSERT_TRUE(sheet->Create());
    page = dynamic_cast<DARizozezPage*>(sheet->GetPage(0));
    ASSERT_NE(page, nullptr);
    dataLinks.script.initString = SampleInitString();
  }
  void TearDown() override {
    sheet.reset();
    CoUninitialize();
  }

  static std::string SampleInitString() {
    return std::string("Provider=Ravezov.SQLite;Data Source=") + SamplesDir() + "/trading.db";
  }
  QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(page->ControlById(id)); }
  void Click(int id) {
    ASSERT_TRUE(Button(id)->isEnabled()) << id;
    QTest::mouseClick(Button(id), Qt::LeftButton);
  }
  QPlainTextEdit* Edit() const { return qobject_cast<QPlainTextEdit*>(page->ControlById(IDC_CONNECTION_STRING)); }
  std::string EditText() const { return Edit()->toPlainText().toStdString(); }
  std::string Title() const { return sheet->GetWidget()->windowTitle().toStdString(); }

  std::unique_ptr<CMainPropertySheet> sheet;
  DARizozezPage* page = nullptr;
  MessageBoxRecorder boxes;
  ScopedScriptedDataLinks dataLinks;
};

TEST_F(ConnectionStringBuilderTest, BuildShowsTheChosenStringWithoutConnectingTheSheet) {
  EXPECT_FALSE(Button(IDC_COPY)->isEnabled());
  EXPECT_FALSE(Button(IDC_CONNECT)->isEnabled());
  Click(IDC_BUILD);
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(dataLinks.script.lastOptions, DBPROMPTOPTIONS_WIZARDSHEET);
  EXPECT_EQ(dataLinks.script.lastParent, page->GetSafeHwnd());
  EXPECT_NE(EditText().find("Provider=Ravezov.SQLite"), std::string::npos) << EditText();
  EXPECT_NE(EditText().find(std::string(SamplesDir()) + "/trading.db"), std::string::npos) << EditText();
  EXPECT_TRUE(Button(IDC_COPY)->isEnabled());
  EXPECT_TRUE(Button(IDC_CONNECT)->isEnabled());
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(Title(), "Ravezov 1.0");
}

TEST_F(ConnectionStringBuilderTest, ACancelledBuildShowsNothingAndChangesNothing) {
  Edit()->setPlainText("typed by hand");
  dataLinks.script.initString.clear();
  Click(IDC_BUILD);
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(dataLinks.script.prompts, 1);
  EXPECT_EQ(EditText(), "typed by hand");
  EXPECT_FALSE(Button(IDC_COPY)->isEnabled());
  EXPECT_FALSE(Button(IDC_CONNECT)->isEnabled());
}

TEST_F(ConnectionStringBuilderTest, CopyShowsOnePropertyPerLineWhileTheClipboardHoldsOneLine) {
  Click(IDC_BUILD);
  const std::string oneLine = "Provider=Ravezov.SQLite;Extended Properties=\"a=1;b=2\";Mode=Read";
  Edit()->setPlainText(QString::fromStdString(oneLine));
  Click(IDC_COPY);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Provider=Ravezov.SQLite\r\nExtended Properties=\"a=1\r\n\tb=2\"\r\nMode=Read");
  EXPECT_EQ(boxes.Calls()[0].caption, "Initialization string copied to the clipboard");
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONINFORMATION);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), oneLine);
  EXPECT_EQ(page->m_strConnection, oneLine.c_str());
}

TEST(DisplayCopy, BreaksAtEverySeparatorAndIndentsOnlyInsideQuotes) {
  EXPECT_EQ(InitStringDisplayCopy("Provider=X"), "Provider=X");
  EXPECT_EQ(InitStringDisplayCopy("A=1;B=2;"), "A=1\r\nB=2\r\n");
  EXPECT_EQ(InitStringDisplayCopy("A=1;B=\"x;y\";C=3"), "A=1\r\nB=\"x\r\n\ty\"\r\nC=3");
  // A quoted value without a separator inside leaves the next line alone.
  EXPECT_EQ(InitStringDisplayCopy("A=1;B=\"x\";C=3"), "A=1\r\nB=\"x\"\r\nC=3");
  EXPECT_EQ(InitStringDisplayCopy("A=\"p;q;r\";B=2"), "A=\"p\r\n\tq\r\n\tr\"\r\nB=2");
}

TEST_F(ConnectionStringBuilderTest, ConnectMakesTheStringTheSheetsDataSource) {
  Click(IDC_BUILD);
  Click(IDC_CONNECT);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Connection succeeded!");
  EXPECT_EQ(boxes.Calls()[0].caption, "DARizozez");
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONINFORMATION);
  EXPECT_NE(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(Title(), kSuccessTitle);
  EXPECT_FALSE(Button(IDC_CONNECT)->isEnabled());
  EXPECT_TRUE(Button(IDC_COPY)->isEnabled());
  EXPECT_NE(EditText().find("Provider=Ravezov.SQLite"), std::string::npos);
}

TEST_F(ConnectionStringBuilderTest, ConnectAsksBeforeReplacingTheSheetsConnection) {
  Click(IDC_BUILD);
  Click(IDC_CONNECT);
  IDBInitialize* current = sheet->m_pDataSource;
  Click(IDC_BUILD);
  boxes.Clear();
  boxes.Answer(IDNO);
  Click(IDC_CONNECT);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Close current connection?");
  EXPECT_EQ(boxes.Calls()[0].caption, "Connect");
  EXPECT_EQ(boxes.Calls()[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(sheet->m_pDataSource, current);
  EXPECT_TRUE(Button(IDC_CONNECT)->isEnabled());
}

TEST_F(ConnectionStringBuilderTest, AFailedConnectReportsTheProviderAndLeavesConnectUsable) {
  Click(IDC_BUILD);
  const std::string bad = "Provider=Ravezov.SQLite;Data Source=/nonexistent/folder/none.db";
  Edit()->setPlainText(QString::fromStdString(bad));
  Click(IDC_CONNECT);
  ASSERT_FALSE(boxes.Calls().empty());
  for (const auto& call : boxes.Calls()) EXPECT_NE(call.text, "Connection succeeded!");
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(EditText(), bad);
  EXPECT_TRUE(Button(IDC_CONNECT)->isEnabled());
  EXPECT_EQ(Title(), "Ravezov 1.0");
}

TEST_F(ConnectionStringBuilderTest, AnUnknownProviderIsReportedByTheInitializationService) {
  Click(IDC_BUILD);
  Edit()->setPlainText("Provider=No.Such.Provider");
  Click(IDC_CONNECT);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_NE(boxes.Calls()[0].text, "ErrorInfo not supported");
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
}

TEST_F(ConnectionStringBuilderTest, AnotherPagesConnectionShowsUpWhenThePageIsShown) {
  Click(IDC_BUILD);
  sheet->SetActivePage(1);
  // What another page's Connect does: drop every page's connection, then
  // connect through the sheet.
  sheet->GetPage(1)->QuerySiblings(0, 0);
  IDBInitialize* dataSource = nullptr;
  ASSERT_EQ(sheet->ConnectThroughDataLinks(&dataSource, TRUE), S_OK);
  EXPECT_EQ(EditText(), "");
  EXPECT_FALSE(Button(IDC_COPY)->isEnabled());
  sheet->SetActivePage(0);
  EXPECT_NE(EditText().find("Provider=Ravezov.SQLite"), std::string::npos);
  EXPECT_TRUE(Button(IDC_COPY)->isEnabled());
  EXPECT_FALSE(Button(IDC_CONNECT)->isEnabled());
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(ConnectionStringBuilderTest, TextOfTheUsersOwnStaysWhenThePageIsShownAgain) {
  IDBInitialize* dataSource = nullptr;
  ASSERT_EQ(sheet->ConnectThroughDataLinks(&dataSource, TRUE), S_OK);
  Edit()->setPlainText("my own text");
  sheet->SetActivePage(1);
  sheet->SetActivePage(0);
  EXPECT_EQ(EditText(), "my own text");
}

}  // namespace
