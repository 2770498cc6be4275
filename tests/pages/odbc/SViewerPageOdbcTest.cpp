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

#include "ConnectingPageTest.h"
#include "OdbcTestSupport.h"
#include "ResourceIds.h"
#include "SViewerPage.h"
#include "ServerDatabase.h"
#include "ViewerWatch.h"

namespace {

using pagetest::ServerDatabase;
using pagetest::ViewerWatch;

class SchemaViewerOnServer : public pagetest::ConnectingPageTest<SViewerPage> {
 protected:
  void SetUp() override {
    target = PostgresTarget();
    SKIP_WITHOUT(target);
    ASSERT_TRUE(ServerDatabase(*target).Exec("CREATE FUNCTION " + function +
                                             "(amount integer, label text) RETURNS integer"
                                             " LANGUAGE sql AS 'SELECT amount'"));
    page = new SViewerPage;
    BuildSheet({page});
  }
  void TearDown() override {
    if (!sheet) return;
    ConnectingPageTest::TearDown();
    ServerDatabase(*target).Exec("DROP FUNCTION IF EXISTS " + function);
  }

  std::optional<OdbcTarget> target;
  const std::string function = "ravezov_viewed_" + std::to_string(::getpid());
};

TEST_F(SchemaViewerOnServer, AProceduresParametersAreFetchedRestrictedToIt) {
  ConnectWith(pagetest::OdbcInitString(*target));
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
