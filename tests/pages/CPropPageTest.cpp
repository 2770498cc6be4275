// The Properties Browser in its sheet against the sample database: the sets
// and properties listed, each property's value as text asked anew, the
// properties a data source only describes shown empty, and the reset.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <string>
#include <utility>
#include <vector>

#include "BrowsingTestProvider.h"
#include "CPropPage.h"
#include "ConnectingPageTest.h"
#include "PropSetNames.h"
#include "ResourceIds.h"
#include "ScratchDatabase.h"
#include "SViewerPage.h"
#include "TablesTestProvider.h"
#include "TestEnvironment.h"
#include "oledb.h"

namespace {

const auto InitString = pagetest::SqliteInitString;
const auto Sample = pagetest::SamplePath;

class PropPageTest : public pagetest::ConnectingPageTest<CPropPage> {
 protected:
  void SetUp() override {
    schemas = new SViewerPage;
    page = new CPropPage;
    BuildSheet({schemas, page});
  }

  void PickRow(int id, int row) { List(id)->setCurrentRow(row); }
  std::string Value() {
    return qobject_cast<QLineEdit*>(page->ControlById(IDC_PROPERTY_VALUE))->text().toStdString();
  }
  std::string ValueOf(const std::string& set, const std::string& property) {
    Pick(IDC_PROPSET_LIST, set);
    Pick(IDC_PROPERTY_LIST, property);
    return Value();
  }

  SViewerPage* schemas = nullptr;
};

TEST(PropSetNamesTest, KnownSetsGiveTheirNameAndOthersTheirUpperCaseGuidText) {
  const std::pair<const GUID*, const char*> core[] = {
      {&DBPROPSET_COLUMN, "DBPROPSET_COLUMN"},     {&DBPROPSET_DATASOURCE, "DBPROPSET_DATASOURCE"},
      {&DBPROPSET_DATASOURCEINFO, "DBPROPSET_DATASOURCEINFO"},
      {&DBPROPSET_DBINIT, "DBPROPSET_DBINIT"},     {&DBPROPSET_INDEX, "DBPROPSET_INDEX"},
      {&DBPROPSET_PROPERTIESINERROR, "DBPROPSET_PROPERTIESINERROR"},
      {&DBPROPSET_ROWSET, "DBPROPSET_ROWSET"},     {&DBPROPSET_SESSION, "DBPROPSET_SESSION"},
      {&DBPROPSET_TABLE, "DBPROPSET_TABLE"},       {&DBPROPSET_VIEW, "DBPROPSET_VIEW"}};
  for (const auto& [set, name] : core) EXPECT_STREQ(GetPropSetName(set), name);
  const GUID persist = {0x4D7839A0, 0x5B8E, 0x11D1, {0xA6, 0xB3, 0x00, 0xA0, 0xC9, 0x13, 0x8C, 0x66}};
  EXPECT_STREQ(GetPropSetName(&persist), "DBPROPSET_PERSIST");
  const GUID unknown = {0xfedcba98, 0x7654, 0x3210, {0xab, 0xcd, 0xef, 0x01, 0x23, 0x45, 0x67, 0x89}};
  EXPECT_STREQ(GetPropSetName(&unknown), "{FEDCBA98-7654-3210-ABCD-EF0123456789}");
}

TEST_F(PropPageTest, ConnectListsEverySetTheDataSourceDescribes) {
  Connect(Sample("trading.db"));
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(Items(IDC_PROPSET_LIST),
            (std::vector<std::string>{"DBPROPSET_DBINIT", "DBPROPSET_DATASOURCEINFO", "DBPROPSET_DATASOURCE",
                                      "DBPROPSET_SESSION", "DBPROPSET_ROWSET"}));
  Pick(IDC_PROPSET_LIST, "DBPROPSET_DATASOURCE");
  EXPECT_EQ(Items(IDC_PROPERTY_LIST), std::vector<std::string>{"Current Catalog"});
}

TEST_F(PropPageTest, ValuesShowAsAutomationTextAndAPropertyNotHeldShowsEmpty) {
  Connect(Sample("trading.db"));
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCEINFO", "DBMS Name"), "SQLite");
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCEINFO", "Pass By Ref Accessors"), "-1");
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCEINFO", "Read-Only Data Source"), "0");
  EXPECT_EQ(ValueOf("DBPROPSET_DBINIT", "Data Source"), Sample("trading.db"));
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCE", "Current Catalog"), "main");
  // The data source describes rowset properties but does not hold them.
  EXPECT_EQ(ValueOf("DBPROPSET_ROWSET", "IRowset"), "");
  EXPECT_EQ(ValueOf("DBPROPSET_SESSION", "Autocommit Isolation Levels"), "");
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
}

TEST_F(PropPageTest, EveryPropertyOfEverySetIsShownOrLeftEmptyWithoutAReport) {
  Connect(Sample("trading.db"));
  int shown = 0;
  for (int set = 0; set < List(IDC_PROPSET_LIST)->count(); ++set) {
    PickRow(IDC_PROPSET_LIST, set);
    const std::string name = List(IDC_PROPSET_LIST)->item(set)->text().toStdString();
    const bool held = name != "DBPROPSET_ROWSET" && name != "DBPROPSET_SESSION";
    ASSERT_GT(List(IDC_PROPERTY_LIST)->count(), 0) << name;
    for (int property = 0; property < List(IDC_PROPERTY_LIST)->count(); ++property) {
      PickRow(IDC_PROPERTY_LIST, property);
      if (!held) {
        EXPECT_EQ(Value(), "") << name << " " << property;
      }
      shown += Value().empty() ? 0 : 1;
    }
  }
  EXPECT_GT(shown, 25);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
}

TEST_F(PropPageTest, AnotherSetEmptiesThePropertiesAndTheValue) {
  Connect(Sample("trading.db"));
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCEINFO", "DBMS Name"), "SQLite");
  Pick(IDC_PROPSET_LIST, "DBPROPSET_DBINIT");
  EXPECT_EQ(Value(), "");
  EXPECT_EQ(List(IDC_PROPERTY_LIST)->currentRow(), -1);
  EXPECT_EQ(Items(IDC_PROPERTY_LIST).size(), 7u);
}

TEST_F(PropPageTest, AConnectionElsewhereResetsThePageAndActivationPicksTheNewOneUp) {
  Connect(Sample("trading.db"));
  EXPECT_EQ(ValueOf("DBPROPSET_DATASOURCEINFO", "DBMS Name"), "SQLite");
  sheet->SetActivePage(0);  // the schema page picks the connection up
  EXPECT_GT(schemas->m_lbSchemas.GetCount(), 0);
  boxes.Answer(IDYES);
  dataLinks.script.initString = InitString(Sample("empty.db"));
  schemas->OnConnect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(page->m_pProperties, nullptr);
  EXPECT_EQ(page->m_rgPropInfoSets.Count(), 0u);
  EXPECT_TRUE(Items(IDC_PROPSET_LIST).empty());
  EXPECT_TRUE(Items(IDC_PROPERTY_LIST).empty());
  EXPECT_EQ(Value(), "");
  boxes.Clear();
  sheet->SetActivePage(1);
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(ValueOf("DBPROPSET_DBINIT", "Data Source"), Sample("empty.db"));
  EXPECT_EQ(dataLinks.script.prompts, 2);
}

}  // namespace

namespace {

class PropPageProviderTest : public PropPageTest {
 protected:
  void PickUp(IDBInitialize* provider) {
    sheet->SetActivePage(0);
    page->QuerySiblings(0, 0);
    sheet->ReleaseDataSource();
    provider->AddRef();
    sheet->m_pDataSource = provider;
    sheet->SetActivePage(1);
  }
};

TEST_F(PropPageProviderTest, ASetReturnedTwiceIsListedTwiceWithItsOwnPropertiesAndAnUnknownSetByItsGuid) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  ASSERT_TRUE(sqlite);
  BrowsingProviderScript script;
  ComPtr<IDBInitialize> provider = CreateBrowsingTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  EXPECT_EQ(Items(IDC_PROPSET_LIST), (std::vector<std::string>{"DBPROPSET_DBINIT", "DBPROPSET_DBINIT",
                                                               "{7A3C1E57-2B4D-4F6A-8C1E-5D9B0A7F3E21}"}));
  PickRow(IDC_PROPSET_LIST, 0);
  EXPECT_EQ(Items(IDC_PROPERTY_LIST), std::vector<std::string>{"Data Source"});
  PickRow(IDC_PROPERTY_LIST, 0);
  EXPECT_EQ(Value(), Sample("trading.db"));
  PickRow(IDC_PROPSET_LIST, 1);
  EXPECT_EQ(Items(IDC_PROPERTY_LIST), std::vector<std::string>{"Prompt"});
  PickRow(IDC_PROPERTY_LIST, 0);
  EXPECT_EQ(Value(), "4");  // DBPROMPT_NOPROMPT
  // In error: the stray value is not shown, nothing is reported, and the
  // returned set is freed (the sanitizer build would see a leak).
  PickRow(IDC_PROPSET_LIST, 2);
  PickRow(IDC_PROPERTY_LIST, 0);
  EXPECT_EQ(Value(), "");
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
}

}  // namespace
