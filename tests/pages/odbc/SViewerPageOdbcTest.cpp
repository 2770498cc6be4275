// The Schema Viewer on PostgreSQL through the ODBC provider: the procedure
// schemas are listed under their names with their restrictions, and a
// procedure's parameters are fetched restricted to it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "MessageBoxRecorder.h"
#include "OdbcTestSupport.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "SViewerPage.h"
#include "ScriptedDataLinks.h"
#include "ServerDatabase.h"
#include "ViewerWatch.h"
#include "objbase.h"

namespace {

using pagetest::ServerDatabase;
using pagetest::ViewerWatch;

class SchemaViewerOnServer : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllResources(); }
  void SetUp() override {
    target = PostgresTarget();
    SKIP_WITHOUT(target);
    ASSERT_TRUE(ServerDatabase(*target).Exec("CREATE FUNCTION " + function +
                                             "(amount integer, label text) RETURNS integer"
                                             " LANGUAGE sql AS 'SELECT amount'"));
    CoInitialize(nullptr);
    sheet = std::make_unique<CMainPropertySheet>(kAppTitle);
    page = new SViewerPage;
    sheet->AddPage(page);
    ASSERT_TRUE(sheet->Create());
  }
  void TearDown() override {
    if (!sheet) return;
    sheet.reset();
    CoUninitialize();
    ServerDatabase(*target).Exec("DROP FUNCTION IF EXISTS " + function);
  }

  QListWidget* List(int id) { return qobject_cast<QListWidget*>(page->ControlById(id)); }
  std::vector<std::string> Items(int id) {
    std::vector<std::string> items;
    for (int i = 0; i < List(id)->count(); ++i) items.push_back(List(id)->item(i)->text().toStdString());
    return items;
  }
  void Pick(int id, const std::string& text) {
    const auto found = List(id)->findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    List(id)->setCurrentItem(found[0]);
  }
  void Press(int id) { static_cast<QAbstractButton*>(page->ControlById(id))->click(); }

  std::optional<OdbcTarget> target;
  const std::string function = "ravezov_viewed_" + std::to_string(::getpid());
  MessageBoxRecorder boxes;
  ScopedScriptedDataLinks dataLinks;
  std::unique_ptr<CMainPropertySheet> sheet;
  SViewerPage* page = nullptr;
};

TEST_F(SchemaViewerOnServer, AProceduresParametersAreFetchedRestrictedToIt) {
  dataLinks.script.initString = "Provider=Ravezov.ODBC;Data Source=" + target->dsn + ";User ID=" + target->user +
                                ";Password=\"" + target->password + "\"";
  page->OnConnect();
  ASSERT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  const auto schemas = Items(IDC_SCHEMA_LIST);
  for (const char* name : {"DBSCHEMA_PROCEDURES", "DBSCHEMA_PROCEDURE_PARAMETERS"})
    EXPECT_NE(std::find(schemas.begin(), schemas.end(), name), schemas.end()) << name;

  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_PROCEDURE_PARAMETERS");
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST), (std::vector<std::string>{"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA",
                                                                   "PROCEDURE_NAME", "PARAMETER_NAME"}));
  Pick(IDC_RESTRICTION_LIST, "PROCEDURE_NAME");
  auto* value = qobject_cast<QLineEdit*>(page->ControlById(IDC_RESTRICTION_VALUE));
  QTest::keyClicks(value, QString::fromStdString(function));
  Press(IDC_SET_VALUE);
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 1u);
  const auto& headings = watch.seen[0].headings;
  const size_t name = std::find(headings.begin(), headings.end(), "PARAMETER_NAME") - headings.begin();
  ASSERT_LT(name, headings.size());
  std::vector<std::string> parameters;
  for (const auto& row : watch.seen[0].rows)
    if (!row[name].empty()) parameters.push_back(row[name]);
  EXPECT_EQ(parameters, (std::vector<std::string>{"amount", "label"}));
}

}  // namespace
