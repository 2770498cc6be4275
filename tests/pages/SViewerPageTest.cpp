// The Schema Viewer in its sheet against the sample database: the schema
// list, restrictions named by their standard names, values that really
// restrict the fetch and are consumed by it, the page-wide reset, and the
// name lookups.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "BrowsingTestProvider.h"
#include "CTablesPage.h"
#include "ConnectingPageTest.h"
#include "ResourceIds.h"
#include "ScratchDatabase.h"
#include "SViewerPage.h"
#include "SchemaNames.h"
#include "TablesTestProvider.h"
#include "TestEnvironment.h"
#include "ViewerWatch.h"
#include "oledb.h"

namespace {

using pagetest::ViewerWatch;

const auto Sample = pagetest::SamplePath;
const auto InitString = pagetest::SqliteInitString;

class SViewerPageTest : public pagetest::ConnectingPageTest<SViewerPage> {
 protected:
  void SetUp() override {
    tables = new CTablesPage;
    page = new SViewerPage;
    BuildSheet({tables, page});
  }

  QLineEdit* ValueEdit() { return qobject_cast<QLineEdit*>(page->ControlById(IDC_RESTRICTION_VALUE)); }
  void DoubleClick(int id, const std::string& text) {
    const auto found = List(id)->findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    QWidget* viewport = List(id)->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, List(id)->visualItemRect(found[0]).center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, List(id)->visualItemRect(found[0]).center());
  }
  void Type(const std::string& text) {
    ValueEdit()->selectAll();
    QTest::keyClick(ValueEdit(), Qt::Key_Delete);
    QTest::keyClicks(ValueEdit(), QString::fromStdString(text));
  }
  void SetRestriction(const std::string& restriction, const std::string& value) {
    Pick(IDC_RESTRICTION_LIST, restriction);
    Type(value);
    Press(IDC_SET_VALUE);
  }
  std::vector<DWORD_PTR> RestrictionOrdinals() {
    std::vector<DWORD_PTR> ordinals;
    for (int i = 0; i < page->m_lbRestrictions.GetCount(); ++i) ordinals.push_back(page->m_lbRestrictions.GetItemData(i));
    return ordinals;
  }
  bool AnyValueHeld() {
    for (ULONG i = 0; i < page->m_cRestrictions; ++i)
      if (page->m_rgRestrictions[i].vt != VT_EMPTY) return true;
    return false;
  }

  CTablesPage* tables = nullptr;
};

const std::vector<std::string> kSqliteSchemas = {
    "DBSCHEMA_CATALOGS",       "DBSCHEMA_COLUMNS",    "DBSCHEMA_FOREIGN_KEYS", "DBSCHEMA_INDEXES", "DBSCHEMA_PRIMARY_KEYS",
    "DBSCHEMA_PROVIDER_TYPES", "DBSCHEMA_STATISTICS", "DBSCHEMA_TABLES",       "DBSCHEMA_VIEWS"};

// ---- names -------------------------------------------------------------------------

TEST(SchemaNamesTest, KnownSchemasGiveTheirNameAndCountAndOthersTheirUpperCaseGuidText) {
  ULONG count = 99;
  EXPECT_STREQ(GetSchemaName(&DBSCHEMA_INDEXES, &count), "DBSCHEMA_INDEXES");
  EXPECT_EQ(count, 5u);
  EXPECT_STREQ(GetSchemaName(&DBSCHEMA_KEY_COLUMN_USAGE, &count), "DBSCHEMA_KEY_COLUMN_USAGE");
  EXPECT_EQ(count, 7u);
  EXPECT_STREQ(GetSchemaName(&DBSCHEMA_SQL_LANGUAGES, &count), "DBSCHEMA_SQL_LANGUAGES");
  EXPECT_EQ(count, 0u);
  const GUID unknown = {0x0a1b2c3d, 0x4e5f, 0x6a7b, {0x8c, 0x9d, 0xae, 0xbf, 0xc0, 0xd1, 0xe2, 0xf3}};
  count = 99;
  EXPECT_STREQ(GetSchemaName(&unknown, &count), "{0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F3}");
  EXPECT_EQ(count, 0u);
}

TEST(SchemaNamesTest, RestrictionsCarryTheStandardNamesNotTheLeadingColumns) {
  const std::vector<std::string> indexes = {"TABLE_CATALOG", "TABLE_SCHEMA", "INDEX_NAME", "TYPE", "TABLE_NAME"};
  for (ULONG i = 0; i < indexes.size(); ++i) EXPECT_EQ(GetRestrictionName(DBSCHEMA_INDEXES, i), indexes[i]);
  EXPECT_STREQ(GetRestrictionName(DBSCHEMA_FOREIGN_KEYS, 3), "FK_TABLE_CATALOG");
  EXPECT_STREQ(GetRestrictionName(DBSCHEMA_PROVIDER_TYPES, 1), "BEST_MATCH");
  EXPECT_EQ(GetRestrictionName(DBSCHEMA_INDEXES, 5), nullptr);
  EXPECT_EQ(GetRestrictionName(DBSCHEMA_SQL_LANGUAGES, 0), nullptr);
  const GUID unknown = {0x0a1b2c3d, 0x4e5f, 0x6a7b, {0x8c, 0x9d, 0xae, 0xbf, 0xc0, 0xd1, 0xe2, 0xf3}};
  EXPECT_EQ(GetRestrictionName(unknown, 0), nullptr);
}

// ---- listing -----------------------------------------------------------------------

TEST_F(SViewerPageTest, ConnectListsTheProvidersSchemasWithTheirRestrictionCounts) {
  EXPECT_EQ(page->m_lbSchemas.GetCount(), 0);
  Connect(Sample("trading.db"));
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(Items(IDC_SCHEMA_LIST), kSqliteSchemas);
  const std::vector<DWORD_PTR> counts = {1, 4, 6, 5, 3, 2, 3, 4, 3};
  for (int i = 0; i < static_cast<int>(counts.size()); ++i) EXPECT_EQ(page->m_lbSchemas.GetItemData(i), counts[i]);
  EXPECT_FALSE(Enabled(IDC_GET_SCHEMA));
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
}

TEST_F(SViewerPageTest, AConnectionMadeOnAnotherPageIsPickedUpWithoutAPrompt) {
  sheet->SetActivePage(0);
  dataLinks.script.initString = InitString(Sample("trading.db"));
  tables->OnConnect();
  sheet->SetActivePage(1);
  EXPECT_EQ(dataLinks.script.prompts, 1);
  EXPECT_EQ(Items(IDC_SCHEMA_LIST), kSqliteSchemas);
  // Reconnecting here asks first, since the page now holds a session.
  boxes.Answer(IDNO);
  page->OnConnect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(Items(IDC_SCHEMA_LIST), kSqliteSchemas);
}

// ---- restrictions ------------------------------------------------------------------

TEST_F(SViewerPageTest, IndexRestrictionsAreNamedByWhatTheyRestrict) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_INDEXES");
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST),
            (std::vector<std::string>{"TABLE_CATALOG", "INDEX_NAME", "TYPE", "TABLE_NAME"}));
  EXPECT_EQ(RestrictionOrdinals(), (std::vector<DWORD_PTR>{0, 2, 3, 4}));
  EXPECT_EQ(page->m_cRestrictions, 5u);
  EXPECT_TRUE(Enabled(IDC_GET_SCHEMA));
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));

  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_FOREIGN_KEYS");
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST),
            (std::vector<std::string>{"PK_TABLE_CATALOG", "PK_TABLE_NAME", "FK_TABLE_CATALOG", "FK_TABLE_NAME"}));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_PROVIDER_TYPES");
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST), (std::vector<std::string>{"DATA_TYPE", "BEST_MATCH"}));
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
}

TEST_F(SViewerPageTest, ATableNameRestrictionReturnsThatTablesIndexesOnlyAndIsConsumedByTheFetch) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_INDEXES");
  SetRestriction("TABLE_NAME", "Trades");
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
  QWidget* getSchema = page->ControlById(IDC_GET_SCHEMA);
  EXPECT_EQ(getSchema->window()->focusWidget(), getSchema);
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].caption, "Rowset Viewer");
  const auto tablesSeen = watch.Column(0, "TABLE_NAME");
  ASSERT_FALSE(tablesSeen.empty());
  EXPECT_EQ(std::set<std::string>(tablesSeen.begin(), tablesSeen.end()), std::set<std::string>{"Trades"});
  const auto indexes = watch.Column(0, "INDEX_NAME");
  EXPECT_EQ(std::set<std::string>(indexes.begin(), indexes.end()),
            std::set<std::string>{"idx_trades_instrument_time"});

  // The fetch consumed the value: the edit is empty, Set Value off, the
  // selections stay, and the next fetch is unrestricted.
  EXPECT_FALSE(AnyValueHeld());
  EXPECT_EQ(ValueEdit()->text().toStdString(), "");
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
  EXPECT_EQ(List(IDC_SCHEMA_LIST)->currentItem()->text().toStdString(), "DBSCHEMA_INDEXES");
  EXPECT_EQ(List(IDC_RESTRICTION_LIST)->currentItem()->text().toStdString(), "TABLE_NAME");
  Pick(IDC_RESTRICTION_LIST, "INDEX_NAME");
  Pick(IDC_RESTRICTION_LIST, "TABLE_NAME");
  EXPECT_EQ(ValueEdit()->text().toStdString(), "");
  Press(IDC_GET_SCHEMA);
  ASSERT_EQ(watch.seen.size(), 2u);
  const auto allTables = watch.Column(1, "TABLE_NAME");
  EXPECT_GT(std::set<std::string>(allTables.begin(), allTables.end()).size(), 1u);
}

TEST_F(SViewerPageTest, ADoubleClickOnASchemaOpensItAndShowsItsRowsetTwiceFromTheStart) {
  Connect(Sample("trading.db"));
  ViewerWatch watch;
  DoubleClick(IDC_SCHEMA_LIST, "DBSCHEMA_TABLES");
  Press(IDC_GET_SCHEMA);  // the same open rowset again, read from its start
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_EQ(watch.seen[0].caption, "Rowset Viewer");
  EXPECT_EQ(watch.seen[0].headings.at(2), "TABLE_NAME");
  EXPECT_EQ(watch.seen[0].rows, watch.seen[1].rows);
  const auto names = watch.Column(0, "TABLE_NAME");
  EXPECT_NE(std::find(names.begin(), names.end(), "Order Details"), names.end());
}

TEST_F(SViewerPageTest, SelectingARestrictionShowsItsOwnValueAndTypingEnablesSetValue) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_TABLES");
  SetRestriction("TABLE_TYPE", "VIEW");
  Pick(IDC_RESTRICTION_LIST, "TABLE_NAME");
  EXPECT_EQ(ValueEdit()->text().toStdString(), "");
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
  Type("x");
  EXPECT_TRUE(Enabled(IDC_SET_VALUE));
  Pick(IDC_RESTRICTION_LIST, "TABLE_TYPE");
  EXPECT_EQ(ValueEdit()->text().toStdString(), "VIEW");
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
  // A double-click on a restriction without a value sets it to the empty
  // text its selection loaded: an empty string, not no value.
  DoubleClick(IDC_RESTRICTION_LIST, "TABLE_NAME");
  ASSERT_EQ(page->m_cRestrictions, 4u);
  EXPECT_EQ(page->m_rgRestrictions[2].vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(page->m_rgRestrictions[2].bstrVal), 0u);
}

TEST_F(SViewerPageTest, AnotherSchemaDiscardsTheValuesButTheEditKeepsItsText) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_TABLES");
  SetRestriction("TABLE_NAME", "Orders");
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_COLUMNS");
  EXPECT_FALSE(AnyValueHeld());
  EXPECT_EQ(ValueEdit()->text().toStdString(), "Orders");
  EXPECT_EQ(List(IDC_RESTRICTION_LIST)->currentRow(), -1);
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);  // unrestricted: every table's columns
  ASSERT_EQ(watch.seen.size(), 1u);
  const auto tablesSeen = watch.Column(0, "TABLE_NAME");
  EXPECT_GT(std::set<std::string>(tablesSeen.begin(), tablesSeen.end()).size(), 1u);
}

TEST_F(SViewerPageTest, ARefusedFetchShowsTheProvidersErrorAndStillClearsTheValues) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_INDEXES");
  SetRestriction("TYPE", "not a number");
  Type("kept");
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);
  EXPECT_TRUE(watch.seen.empty());
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Texts()[0], "A restriction value has the wrong type.");
  EXPECT_FALSE(AnyValueHeld());
  EXPECT_EQ(ValueEdit()->text().toStdString(), "kept");
}

// ---- reset -------------------------------------------------------------------------

TEST_F(SViewerPageTest, AnotherPagesConnectEmptiesEverythingAndLeavesSetValueOff) {
  Connect(Sample("trading.db"));
  Pick(IDC_SCHEMA_LIST, "DBSCHEMA_TABLES");
  Pick(IDC_RESTRICTION_LIST, "TABLE_NAME");
  Type("typed");
  EXPECT_TRUE(Enabled(IDC_SET_VALUE));
  sheet->SetActivePage(0);
  boxes.Answer(IDYES);
  dataLinks.script.initString.clear();  // cancelled: every page is reset, nothing connected
  tables->OnConnect();
  EXPECT_EQ(page->m_pSchemaRowset, nullptr);
  EXPECT_EQ(page->m_pColumnsInfo, nullptr);
  EXPECT_EQ(page->m_rgRestrictions, nullptr);
  EXPECT_TRUE(Items(IDC_SCHEMA_LIST).empty());
  EXPECT_TRUE(Items(IDC_RESTRICTION_LIST).empty());
  EXPECT_EQ(ValueEdit()->text().toStdString(), "");
  EXPECT_FALSE(Enabled(IDC_SET_VALUE));
  EXPECT_FALSE(Enabled(IDC_GET_SCHEMA));
  // Nothing held and nothing current: activation asks nothing.
  boxes.Clear();
  sheet->SetActivePage(1);
  EXPECT_TRUE(boxes.Calls().empty());
}

// ---- providers outside the standard ----------------------------------------------

class SViewerPageProviderTest : public SViewerPageTest {
 protected:
  void PickUp(IDBInitialize* provider) {
    sheet->SetActivePage(0);
    page->QuerySiblings(0, 0);
    sheet->ReleaseDataSource();
    provider->AddRef();
    sheet->m_pDataSource = provider;
    sheet->SetActivePage(1);
  }
  void SetUp() override {
    SViewerPageTest::SetUp();
    sqlite = OpenSqliteFile(Sample("trading.db"));
    ASSERT_TRUE(sqlite);
    provider = CreateBrowsingTestProvider(sqlite.Get(), script);
    PickUp(provider.Get());
  }
  BrowsingProviderScript script;
  ComPtr<IDBInitialize> sqlite;
  ComPtr<IDBInitialize> provider;
};

const char kCustomName[] = "{7A3C1E55-2B4D-4F6A-8C1E-5D9B0A7F3E21}";

TEST_F(SViewerPageProviderTest, AnUnknownSchemaIsNamedByItsGuidAndItsRestrictionsByItsColumnsAndAllTakeValues) {
  const auto schemaNames = Items(IDC_SCHEMA_LIST);
  ASSERT_EQ(schemaNames.size(), kSqliteSchemas.size() + 2);
  EXPECT_EQ(schemaNames[kSqliteSchemas.size()], kCustomName);
  EXPECT_EQ(page->m_lbSchemas.GetItemData(static_cast<int>(kSqliteSchemas.size())), 0u);
  Pick(IDC_SCHEMA_LIST, kCustomName);
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST), (std::vector<std::string>{"ALPHA", "GAMMA"}));
  EXPECT_EQ(RestrictionOrdinals(), (std::vector<DWORD_PTR>{0, 2}));
  // Sized by the highest listed restriction, so the last one takes a value
  // and every listed one is passed.
  SetRestriction("GAMMA", "g");
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 1u);
  ASSERT_EQ(script.customRestrictions.size(), 1u);
  EXPECT_EQ(script.customRestrictions[0], (std::vector<std::string>{"", "", "g"}));
}

TEST_F(SViewerPageProviderTest, ABookmarkColumnIsSkippedAndARowsetWithoutIRowsetIsReported) {
  Pick(IDC_SCHEMA_LIST, "{7A3C1E56-2B4D-4F6A-8C1E-5D9B0A7F3E21}");
  EXPECT_EQ(Items(IDC_RESTRICTION_LIST), (std::vector<std::string>{"FIRST", "SECOND"}));
  EXPECT_EQ(RestrictionOrdinals(), (std::vector<DWORD_PTR>{0, 1}));
  ViewerWatch watch;
  Press(IDC_GET_SCHEMA);
  EXPECT_TRUE(watch.seen.empty());
  EXPECT_EQ(boxes.Calls().size(), 1u);
  EXPECT_NE(page->m_pColumnsInfo, nullptr);  // unchanged
}

}  // namespace
