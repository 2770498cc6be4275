// The procedure schema rowsets over ODBC: on PostgreSQL from functions a
// test creates, with the restrictions the driver's catalog functions take;
// on the SQLite driver, which has no procedures, an empty rowset or an
// error record, never a crash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "ProviderTestSupport.h"
#include "objbase.h"

namespace {

using Restrictions = std::vector<std::optional<std::string>>;

ComPtr<IUnknown> OpenSession(const OdbcTarget& target, ComPtr<IDBInitialize>& init) {
  init = CreateOdbcDataSource(target.dsn, target.user, target.password);
  if (!init || FAILED(init->Initialize())) return nullptr;
  return CreateSession(init);
}

// The named column of every row, "<null>" for NULL.
std::vector<std::string> Column(IRowset* rowset, const std::string& name) {
  std::vector<std::string> values;
  const auto names = ColumnNames(rowset);
  const auto at = std::find(names.begin(), names.end(), name);
  if (at == names.end()) return {"<no column " + name + ">"};
  for (const auto& row : ReadAll(rowset)) values.push_back(row[at - names.begin()].value_or("<null>"));
  return values;
}

class OdbcProcedureSchemaTest : public testing::Test {
 protected:
  void SetUp() override {
    target = PostgresTarget();
    SKIP_WITHOUT(target);
    session = OpenSession(*target, init);
    ASSERT_TRUE(session);
    const std::string pid = std::to_string(::getpid());
    function = "ravezov_add_" + pid;
    procedure = "ravezov_log_" + pid;
    ASSERT_EQ(Execute(session, "create function " + function +
                                   "(amount integer, label text default 'none') returns integer"
                                   " language sql as 'select amount + 1'").hr, S_OK);
    ASSERT_EQ(Execute(session, "create procedure " + procedure + "(message text) language sql as 'select 1'").hr, S_OK);
  }
  void TearDown() override {
    if (!session) return;
    Execute(session, "drop function if exists " + function);
    Execute(session, "drop procedure if exists " + procedure);
  }

  ComApartment apartment;
  std::optional<OdbcTarget> target;
  ComPtr<IDBInitialize> init;
  ComPtr<IUnknown> session;
  std::string function, procedure;
};

TEST_F(OdbcProcedureSchemaTest, BothSchemasAreListedWithEveryRestriction) {
  ULONG count = 0;
  GUID* guids = nullptr;
  ULONG* support = nullptr;
  ASSERT_EQ(session.As<IDBSchemaRowset>()->GetSchemas(&count, &guids, &support), S_OK);
  for (const GUID* schema : {&DBSCHEMA_PROCEDURES, &DBSCHEMA_PROCEDURE_PARAMETERS}) {
    const auto at = std::find(guids, guids + count, *schema);
    ASSERT_NE(at, guids + count);
    EXPECT_EQ(support[at - guids], 0xFu);
  }
  CoTaskMemFree(guids);
  CoTaskMemFree(support);
}

TEST_F(OdbcProcedureSchemaTest, ProceduresAreFoundByNameAndTold) {
  auto rowset = SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, "public", function});
  ASSERT_TRUE(rowset);
  EXPECT_EQ(Column(rowset, "PROCEDURE_NAME"), std::vector<std::string>{function});
  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, "public", function});
  EXPECT_EQ(Column(rowset, "PROCEDURE_SCHEMA"), std::vector<std::string>{"public"});
  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, "elsewhere", function});
  EXPECT_TRUE(ReadAll(rowset).empty());
  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, std::nullopt, function});
  EXPECT_EQ(Column(rowset, "PROCEDURE_TYPE"), std::vector<std::string>{std::to_string(DB_PT_FUNCTION)});

  // A name is no pattern: the underscores in it match only themselves.
  std::string lookalike = function;
  std::replace(lookalike.begin(), lookalike.end(), '_', '%');
  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, std::nullopt, lookalike});
  ASSERT_TRUE(rowset);
  EXPECT_TRUE(ReadAll(rowset).empty());

  // The type restriction keeps the function, which returns a value, out
  // of a list of procedures. (The driver tells a procedure from a function
  // returning nothing by neither, so the procedure is only listed.)
  const auto listed = [&](std::optional<std::string> type, const std::string& name) {
    const auto all = Column(SchemaRowset(session, DBSCHEMA_PROCEDURES, {std::nullopt, "public", std::nullopt, type}),
                            "PROCEDURE_NAME");
    return std::count(all.begin(), all.end(), name);
  };
  EXPECT_EQ(listed(std::to_string(DB_PT_FUNCTION), function), 1);
  EXPECT_EQ(listed(std::to_string(DB_PT_PROCEDURE), function), 0);
  EXPECT_EQ(listed(std::nullopt, procedure), 1);
}

TEST_F(OdbcProcedureSchemaTest, ParametersComeInOrderWithTheirDirectionTypeAndDefault) {
  auto rowset = SchemaRowset(session, DBSCHEMA_PROCEDURE_PARAMETERS, {std::nullopt, "public", function});
  ASSERT_TRUE(rowset);
  const auto rows = ReadAll(rowset);
  const auto names = ColumnNames(rowset);
  const auto cell = [&](const TextRow& row, const char* column) {
    const auto at = std::find(names.begin(), names.end(), column);
    return at == names.end() ? "<no column>" : row[at - names.begin()].value_or("<null>");
  };
  std::vector<std::string> inputs;
  for (const auto& row : rows) {
    if (cell(row, "PARAMETER_TYPE") == std::to_string(DBPARAMTYPE_RETURNVALUE)) {
      EXPECT_EQ(cell(row, "ORDINAL_POSITION"), "0");
      EXPECT_EQ(cell(row, "DATA_TYPE"), std::to_string(DBTYPE_I4));
      continue;
    }
    EXPECT_EQ(cell(row, "PARAMETER_TYPE"), std::to_string(DBPARAMTYPE_INPUT)) << cell(row, "PARAMETER_NAME");
    EXPECT_EQ(cell(row, "PROCEDURE_NAME"), function);
    inputs.push_back(cell(row, "PARAMETER_NAME") + "@" + cell(row, "ORDINAL_POSITION") + ":" + cell(row, "DATA_TYPE"));
  }
  EXPECT_EQ(inputs, (std::vector<std::string>{"amount@1:" + std::to_string(DBTYPE_I4),
                                              "label@2:" + std::to_string(DBTYPE_WSTR)}));

  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURE_PARAMETERS, {std::nullopt, std::nullopt, function, "label"});
  ASSERT_TRUE(rowset);
  EXPECT_EQ(Column(rowset, "PARAMETER_NAME"), std::vector<std::string>{"label"});
  rowset = SchemaRowset(session, DBSCHEMA_PROCEDURE_PARAMETERS, {std::nullopt, std::nullopt, function, "nothing"});
  ASSERT_TRUE(rowset);
  EXPECT_TRUE(ReadAll(rowset).empty());
}

TEST(OdbcProcedureSchemaOnSqlite, ADriverWithoutProceduresAnswersEmptyOrWithARecord) {
  ComApartment apartment;
  auto target = SqliteOdbcTarget();
  SKIP_WITHOUT(target);
  ComPtr<IDBInitialize> init;
  auto session = OpenSession(*target, init);
  ASSERT_TRUE(session);
  for (const GUID* schema : {&DBSCHEMA_PROCEDURES, &DBSCHEMA_PROCEDURE_PARAMETERS}) {
    HRESULT hr = E_FAIL;
    auto rowset = SchemaRowset(session, *schema, {}, &hr);
    if (SUCCEEDED(hr)) {
      ASSERT_TRUE(rowset);
      EXPECT_TRUE(ReadAll(rowset).empty());
    } else {
      EXPECT_FALSE(TakeErrorDescriptions().empty());
    }
    // The session goes on working either way.
    EXPECT_TRUE(SchemaRowset(session, DBSCHEMA_TABLES, {}));
  }
}

}  // namespace
