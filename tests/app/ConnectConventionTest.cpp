#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "MessageBoxRecorder.h"
#include "ScriptedDataLinks.h"
#include "SheetTestSupport.h"

namespace {

class ConnectConventionTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    sheet = std::make_unique<CMainPropertySheet>(kAppTitle);
    first = new RecordingPage("first", log);
    second = new RecordingPage("second", log);
    sheet->AddPage(first);
    sheet->AddPage(second);
    ASSERT_TRUE(sheet->Create());
  }
  void TearDown() override {
    sheet.reset();
    SheetTest::TearDown();
  }
  std::string Title() const { return sheet->GetWidget()->windowTitle().toStdString(); }

  EventLog log;
  std::unique_ptr<CMainPropertySheet> sheet;
  RecordingPage* first = nullptr;
  RecordingPage* second = nullptr;
  ScopedScriptedDataLinks dataLinks;
};

TEST_F(ConnectConventionTest, AnUnconnectedPageOpensDataLinksAtOnceAndAttaches) {
  dataLinks.script.initString = SampleInitString();
  first->Connect();
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(dataLinks.script.prompts, 1);
  EXPECT_EQ(dataLinks.script.lastOptions, DBPROMPTOPTIONS_WIZARDSHEET);
  EXPECT_EQ(dataLinks.script.lastParent, sheet->GetSafeHwnd());
  ASSERT_NE(sheet->m_pDataSource, nullptr);
  EXPECT_NE(first->m_held, nullptr);
  EXPECT_EQ(Title(), "Ravezov 1.0 - Ravezov OLE DB Provider for SQLite");
}

TEST_F(ConnectConventionTest, AConnectedPageAsksFirstAndNoKeepsEverything) {
  dataLinks.script.initString = SampleInitString();
  first->Connect();
  IDBInitialize* current = sheet->m_pDataSource;
  boxes.Answer(IDNO);
  first->Connect();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Close current connection?");
  EXPECT_EQ(boxes.Calls()[0].caption, "Connect");
  EXPECT_EQ(boxes.Calls()[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(dataLinks.script.prompts, 1);
  EXPECT_EQ(sheet->m_pDataSource, current);
  EXPECT_NE(first->m_held, nullptr);
}

TEST_F(ConnectConventionTest, CancellingDataLinksShowsNothingDropsEverythingAndKeepsTheTitle) {
  dataLinks.script.initString = SampleInitString();
  first->Connect();
  sheet->SetActivePage(1);  // picks the connection up
  ASSERT_NE(second->m_held, nullptr);
  dataLinks.script.initString.clear();
  boxes.Answer(IDYES);
  first->Connect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(first->m_held, nullptr);
  EXPECT_EQ(second->m_held, nullptr);
  EXPECT_EQ(Title(), "Ravezov 1.0 - Ravezov OLE DB Provider for SQLite");
}

TEST_F(ConnectConventionTest, ShowingAnotherPagePicksTheConnectionUpWithoutAPrompt) {
  dataLinks.script.initString = SampleInitString();
  first->Connect();
  sheet->SetActivePage(1);
  EXPECT_EQ(dataLinks.script.prompts, 1);
  EXPECT_EQ(second->m_attaches, 1);
  EXPECT_NE(second->m_held, nullptr);
  // Still connected: showing it again attaches nothing new.
  sheet->SetActivePage(0);
  sheet->SetActivePage(1);
  EXPECT_EQ(second->m_attaches, 1);
}

TEST_F(ConnectConventionTest, FailuresAreReportedThenCouldNotInitialize) {
  dataLinks.script.failure = E_FAIL;
  first->Connect();
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Data link wizard error.", "Could not initialize data source"}));
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_EQ(boxes.Calls()[1].type, MB_ICONINFORMATION);
  EXPECT_EQ(boxes.Calls()[1].caption, AfxGetAppName().str());
  boxes.Clear();

  dataLinks.script.failure = S_OK;
  dataLinks.script.initString = "Provider=Ravezov.SQLite;Data Source=/nonexistent/folder/none.db";
  first->Connect();
  ASSERT_GE(boxes.Calls().size(), 2u);
  EXPECT_NE(boxes.Calls()[0].caption, AfxGetAppName().str());  // the provider's record, captioned with its source
  EXPECT_EQ(boxes.Calls().back().text, "Could not initialize data source");
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(Title(), "Ravezov 1.0");
}

TEST_F(ConnectConventionTest, AMissingDataLinksClassIsReported) {
  ScopedMissingDataLinks missing;
  first->Connect();
  EXPECT_EQ(boxes.Texts(),
            (std::vector<std::string>{"Data Links object could not be created", "Could not initialize data source"}));
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
}

TEST_F(ConnectConventionTest, AFailedAttachShowsThePagesMessageAndKeepsTheSheetConnected) {
  dataLinks.script.initString = SampleInitString();
  first->m_attachResult = E_FAIL;
  first->Connect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Could not attach"});
  EXPECT_NE(sheet->m_pDataSource, nullptr);
}

}  // namespace
