// The Enumerator with the ODBC provider and its enumerator installed: the
// enumerator's row opens the machine's data source names with their
// drivers, and the provider, completed by its prompt, becomes the sheet's
// data source whose server tables the Table Analyzer then lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CEnumPage.h"
#include "CTablesPage.h"
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "PageSheetTest.h"
#include "PromptService.h"
#include "ResourceIds.h"
#include "ViewerWatch.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

using namespace pagetest;

// The driver entries scripts/lib/postgres.sh names its two DSNs with.
constexpr const char* kPostgresDriver = "PostgreSQL Unicode";
constexpr const char* kSqliteDriver = "SQLite3";

void AddText(std::vector<DBPROP>& props, DBPROPID id, const std::string& text) {
  DBPROP p{};
  p.dwPropertyID = id;
  p.vValue.vt = VT_BSTR;
  p.vValue.bstrVal = SysAllocString(AnsiToOle(text).c_str());
  props.push_back(p);
}

// The provider's prompt for a scope, answered with a data source name, a
// user and a password as a user would type them.
class ScriptedOdbcPrompt {
 public:
  explicit ScriptedOdbcPrompt(OdbcTarget target) : m_target(std::move(target)) {
    m_previous = SetDataSourcePrompt([this](HWND, DBPROMPT, REFCLSID provider, IDBProperties* properties) {
      ++prompts;
      if (provider != CLSID_RavezovODBC) return E_UNEXPECTED;
      std::vector<DBPROP> props;
      AddText(props, DBPROP_INIT_DATASOURCE, m_target.dsn);
      AddText(props, DBPROP_AUTH_USERID, m_target.user);
      AddText(props, DBPROP_AUTH_PASSWORD, m_target.password);
      DBPROPSET set{props.data(), static_cast<ULONG>(props.size()), DBPROPSET_DBINIT};
      const HRESULT hr = properties->SetProperties(1, &set);
      for (auto& p : props) VariantClear(&p.vValue);
      return hr;
    });
  }
  ~ScriptedOdbcPrompt() { SetDataSourcePrompt(m_previous); }
  int prompts = 0;

 private:
  OdbcTarget m_target;
  DataSourcePrompt m_previous;
};

class EnumPageWithOdbc : public PageSheetTest<CEnumPage> {
 protected:
  void SetUp() override {
    postgres = PostgresTarget();
    sqlite = SqliteOdbcTarget();
    SKIP_WITHOUT(postgres && sqlite);
    page = new CEnumPage;
    tables = new CTablesPage;
    BuildSheet({page, tables});
  }

  void Select(const std::string& name) { SelectRow(page->m_list, name); }
  void Press() { PageSheetTest::Press(IDC_ENUM_CONNECT); }

  std::optional<OdbcTarget> postgres, sqlite;
  CTablesPage* tables = nullptr;
};

TEST_F(EnumPageWithOdbc, EnumerateOnTheOdbcEnumeratorShowsBothDataSourceNamesWithTheirDrivers) {
  const Rows listed = ListRows(page->m_list);
  const int item = FindRow(page->m_list, kOdbcEnumeratorProgId);
  ASSERT_GE(item, 0);
  EXPECT_EQ(listed[item], (std::vector<std::string>{kOdbcEnumeratorProgId, kOdbcEnumeratorDescription, "2",
                                                     "{6B0F3A53-8E0C-4C1D-9A57-2E8D41C7B3A1}"}));
  ViewerWatch watch;
  Select(kOdbcEnumeratorProgId);
  Press();
  EXPECT_TRUE(boxes.Calls().empty());
  ASSERT_EQ(watch.seen.size(), 1u);
  const SeenViewer& viewer = watch.seen[0];
  EXPECT_EQ(viewer.caption, kOdbcEnumeratorDescription);
  ASSERT_GE(viewer.headings.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(viewer.headings.begin(), viewer.headings.begin() + 4),
            (std::vector<std::string>{"SOURCES_NAME", "SOURCES_PARSENAME", "SOURCES_DESCRIPTION", "SOURCES_TYPE"}));
  for (const auto& [dsn, driver] : {std::pair{postgres->dsn, kPostgresDriver}, std::pair{sqlite->dsn, kSqliteDriver}}) {
    const auto row = std::find_if(viewer.rows.begin(), viewer.rows.end(),
                                  [&, &dsn = dsn](const auto& r) { return r[0] == dsn; });
    ASSERT_NE(row, viewer.rows.end()) << dsn;
    EXPECT_EQ((std::vector<std::string>(row->begin(), row->begin() + 4)),
              (std::vector<std::string>{dsn, dsn, driver, std::to_string(DBSOURCETYPE_DATASOURCE)}));
  }
  EXPECT_FALSE(viewer.editing);
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
}

TEST_F(EnumPageWithOdbc, TheOdbcProviderCompletedByItsPromptBecomesTheSheetsDataSource) {
  ScriptedOdbcPrompt prompt(*postgres);
  Select(kOdbcProgId);
  Press();
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(prompt.prompts, 1);
  ASSERT_NE(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(sheet->GetWidget()->windowTitle().toStdString(), std::string(kAppTitle) + " - " + kOdbcDescription);
  // The Table Analyzer picks the server up when shown.
  sheet->SetActivePage(1);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  const int orders = FindRow(tables->m_list, "Orders");
  ASSERT_GE(orders, 0);
  EXPECT_EQ(tables->m_list.GetItemText(orders, 2).str(), "public");
}

}  // namespace
