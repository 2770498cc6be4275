// The Enumerator driven in its sheet: the list from the root enumerator,
// the caption switch, an enumerator's sources in the viewer, and
// connecting to a provider through its own prompt (cancelled, failing,
// not needed), with the other pages picking the new data source up.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CEnumPage.h"
#include "CTablesPage.h"
#include "ClassRegistry.h"
#include "ColumnDesc.h"
#include "ComObject.h"
#include "MemoryRowset.h"
#include "PageSheetTest.h"
#include "PromptService.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "ScratchDatabase.h"
#include "SqliteProvider.h"
#include "ViewerWatch.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

using namespace pagetest;

constexpr CLSID CLSID_TestEnumerator = {0x2b8c61a4, 0x7d03, 0x4f1e, {0xa5, 0x92, 0x3c, 0x61, 0x0d, 0x7e, 0x48, 0x15}};
constexpr CLSID CLSID_PresetProvider = {0x2b8c61a5, 0x7d03, 0x4f1e, {0xa5, 0x92, 0x3c, 0x61, 0x0d, 0x7e, 0x48, 0x15}};
constexpr CLSID CLSID_MissingProvider = {0x2b8c61a6, 0x7d03, 0x4f1e, {0xa5, 0x92, 0x3c, 0x61, 0x0d, 0x7e, 0x48, 0x15}};
constexpr const char* kEnumeratorDescription = "Test enumerator of two sources";
constexpr const char* kPresetDescription = "Preset sample provider";

ColumnDesc TextColumn(std::u16string name) {
  ColumnDesc column;
  column.name = std::move(name);
  column.type = DBTYPE_WSTR;
  column.size = 128;
  return column;
}

// An enumerator whose sources rowset lists two data sources.
class TestEnumerator : public ComObject<ISourcesRowset> {
 public:
  HRESULT STDMETHODCALLTYPE GetSourcesRowset(IUnknown*, REFIID riid, ULONG, DBPROPSET*, IUnknown** rowset) override {
    ColumnDesc type;
    type.name = u"SOURCES_TYPE";
    type.type = DBTYPE_UI2;
    type.size = sizeof(USHORT);
    type.flags = DBCOLUMNFLAGS_ISFIXEDLENGTH;
    std::vector<MemoryRow> rows = {
        {NativeValue::Text("Ledger"), NativeValue::Text("Ledger"), NativeValue::Text("The ledger database"),
         NativeValue::Integer(DBSOURCETYPE_DATASOURCE)},
        {NativeValue::Text("Archive"), NativeValue::Text("Archive"), NativeValue::Text("Old years"),
         NativeValue::Integer(DBSOURCETYPE_DATASOURCE)},
    };
    return CreateMemoryRowset({TextColumn(u"SOURCES_NAME"), TextColumn(u"SOURCES_PARSENAME"),
                               TextColumn(u"SOURCES_DESCRIPTION"), type},
                              std::move(rows), nullptr, CLSID_TestEnumerator, u"Test Enumerator", riid, rowset);
  }
};

// A SQLite data source that already names its file, so it connects
// without a prompt; its registered description is not its friendly name.
HRESULT CreatePresetProvider(REFIID riid, void** object) {
  ComPtr<IDBProperties> properties;
  HRESULT hr = CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                                reinterpret_cast<void**>(&properties));
  if (FAILED(hr)) return hr;
  DBPROP file{};
  file.dwPropertyID = DBPROP_INIT_DATASOURCE;
  file.vValue.vt = VT_BSTR;
  file.vValue.bstrVal = SysAllocString(AnsiToOle(SamplePath("trading.db")).c_str());
  DBPROPSET set{&file, 1, DBPROPSET_DBINIT};
  hr = properties->SetProperties(1, &set);
  VariantClear(&file.vValue);
  if (FAILED(hr)) return hr;
  return properties->QueryInterface(riid, object);
}

// The provider prompt for a scope: records its owner and answers with a
// file, or cancels when there is none.
class ScriptedPrompt {
 public:
  ScriptedPrompt() {
    m_previous = SetDataSourcePrompt([this](HWND owner, DBPROMPT, REFCLSID, IDBProperties* properties) {
      ++prompts;
      lastOwner = owner;
      if (file.empty()) return DB_E_CANCELED;
      DBPROP p{};
      p.dwPropertyID = DBPROP_INIT_DATASOURCE;
      p.vValue.vt = VT_BSTR;
      p.vValue.bstrVal = SysAllocString(AnsiToOle(file).c_str());
      DBPROPSET s{&p, 1, DBPROPSET_DBINIT};
      const HRESULT hr = properties->SetProperties(1, &s);
      VariantClear(&p.vValue);
      return hr;
    });
  }
  ~ScriptedPrompt() { SetDataSourcePrompt(m_previous); }
  std::string file;  // empty: the user cancels
  int prompts = 0;
  HWND lastOwner = nullptr;

 private:
  DataSourcePrompt m_previous;
};

class EnumPageTest : public PageSheetTest<CEnumPage> {
 protected:
  void SetUp() override {
    page = new CEnumPage;
    tables = new CTablesPage;
    BuildSheet({page, tables});
  }

  int Find(const std::string& name) { return FindRow(page->m_list, name); }
  void Select(const std::string& name) { SelectRow(page->m_list, name); }
  std::string ButtonText() {
    return static_cast<QAbstractButton*>(page->ControlById(IDC_ENUM_CONNECT))->text().toStdString();
  }
  void Press() { PageSheetTest::Press(IDC_ENUM_CONNECT); }
  std::string Title() { return sheet->GetWidget()->windowTitle().toStdString(); }
  void ConnectPreset() {
    Select("Ravezov.Preset");
    if (sheet->m_pDataSource) boxes.Answer(IDYES);
    Press();
  }

  ScriptedPrompt prompt;
  CScopedClassRegistration enumerator{ClassEntry{CLSID_TestEnumerator, "Ravezov.TestEnumerator",
                                                 kEnumeratorDescription, ClassKind::Enumerator,
                                                 [](REFIID riid, void** ppv) {
                                                   return ComObject<ISourcesRowset>::CreateInstance<TestEnumerator>(
                                                       riid, ppv);
                                                 }}};
  CScopedClassRegistration preset{
      ClassEntry{CLSID_PresetProvider, "Ravezov.Preset", kPresetDescription, ClassKind::Provider, &CreatePresetProvider}};
  CScopedClassRegistration missing{ClassEntry{CLSID_MissingProvider, "Ravezov.Missing", "Not installed",
                                              ClassKind::Provider, [](REFIID, void** ppv) {
                                                *ppv = nullptr;
                                                return REGDB_E_CLASSNOTREG;
                                              }}};
  CTablesPage* tables = nullptr;
};

// ---- the list ------------------------------------------------------------------

TEST_F(EnumPageTest, ListsEveryProviderAndEnumeratorWithItsDescriptionTypeAndClass) {
  EXPECT_EQ(Headings(page->m_list), (std::vector<std::string>{"Name", "Description", "Type", "CLSID"}));
  std::vector<int> widths;
  for (int i = 0; i < 4; ++i) widths.push_back(page->m_list.GetColumnWidth(i));
  EXPECT_EQ(widths, (std::vector<int>{150, 240, 60, 240}));
  const Rows rows = ListRows(page->m_list);
  const auto row = [&](const std::string& name) { return rows.at(Find(name)); };
  ASSERT_GE(Find("Ravezov.SQLite"), 0);
  EXPECT_EQ(row("Ravezov.SQLite")[1], kSqliteDescription);
  EXPECT_EQ(row("Ravezov.SQLite")[2], "1");
  const std::string clsid = row("Ravezov.SQLite")[3];
  EXPECT_EQ(clsid.size(), 38u);
  EXPECT_EQ(clsid.front(), '{');
  EXPECT_EQ(clsid.back(), '}');
  EXPECT_EQ(row("Ravezov.TestEnumerator"),
            (std::vector<std::string>{"Ravezov.TestEnumerator", kEnumeratorDescription, "2",
                                      "{2B8C61A4-7D03-4F1E-A592-3C610D7E4815}"}));
  EXPECT_LT(Find("Ravezov.Enumerator"), 0);  // the root enumerator is no source
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(EnumPageTest, TheButtonSaysEnumerateForAnEnumeratorAndKeepsItsCaptionWithoutASelection) {
  EXPECT_EQ(ButtonText(), "C&onnect");
  Select("Ravezov.TestEnumerator");
  EXPECT_EQ(ButtonText(), "&Enumerate");
  Select("Ravezov.SQLite");
  EXPECT_EQ(ButtonText(), "C&onnect");
  Select("Ravezov.TestEnumerator");
  page->m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(ButtonText(), "&Enumerate");
  Press();  // nothing selected: nothing happens
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(prompt.prompts, 0);
}

TEST_F(EnumPageTest, EnumerateOpensTheEnumeratorsSourcesCaptionedWithItsDescription) {
  ViewerWatch watch;
  Select("Ravezov.TestEnumerator");
  Press();
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].caption, kEnumeratorDescription);
  EXPECT_EQ(watch.seen[0].headings,
            (std::vector<std::string>{"SOURCES_NAME", "SOURCES_PARSENAME", "SOURCES_DESCRIPTION", "SOURCES_TYPE"}));
  EXPECT_EQ(watch.seen[0].rows, (Rows{{"Ledger", "Ledger", "The ledger database", "1"},
                                      {"Archive", "Archive", "Old years", "1"}}));
  EXPECT_FALSE(watch.seen[0].editing);
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(EnumPageTest, TheSelectionComesBackAfterTheUserLeavesThePage) {
  Select("Ravezov.TestEnumerator");
  sheet->SetActivePage(1);
  page->m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  sheet->SetActivePage(0);
  const int selected = page->m_list.GetNextItem(-1, LVNI_SELECTED);
  ASSERT_GE(selected, 0);
  EXPECT_EQ(page->m_list.GetItemText(selected, 0).str(), "Ravezov.TestEnumerator");
}

// ---- connecting ------------------------------------------------------------------

TEST_F(EnumPageTest, AProviderThatNeedsNothingConnectsWithoutAPromptTitledWithItsListedDescription) {
  ConnectPreset();
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(prompt.prompts, 0);
  ASSERT_NE(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(Title(), std::string(kAppTitle) + " - " + kPresetDescription);
  // The Table Analyzer picks the new data source up when shown.
  sheet->SetActivePage(1);
  EXPECT_GT(tables->m_list.GetItemCount(), 0);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(EnumPageTest, TheProvidersPromptOwnedByThePageConnectsAndEveryPageDropsTheOldConnection) {
  ConnectPreset();
  sheet->SetActivePage(1);
  ASSERT_NE(tables->m_pSchemaRowset, nullptr);
  sheet->SetActivePage(0);
  ScratchDatabase fresh(nullptr, "CREATE TABLE Fresh (id INTEGER);");
  prompt.file = fresh.Path();
  Select("Ravezov.SQLite");
  boxes.Answer(IDYES);
  Press();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(boxes.Calls()[0].caption, "Connect");
  EXPECT_EQ(boxes.Calls()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(prompt.prompts, 1);
  EXPECT_EQ(prompt.lastOwner, page->GetSafeHwnd());  // the whole handle arrived
  EXPECT_EQ(tables->m_pSchemaRowset, nullptr);
  EXPECT_EQ(Title(), std::string(kAppTitle) + " - " + kSqliteDescription);
  sheet->SetActivePage(1);
  ASSERT_EQ(tables->m_list.GetItemCount(), 1);
  EXPECT_EQ(tables->m_list.GetItemText(0, 0).str(), "Fresh");
}

TEST_F(EnumPageTest, ACancelledPromptChangesNothingAndShowsNothing) {
  ConnectPreset();
  sheet->SetActivePage(1);
  sheet->SetActivePage(0);
  IDBInitialize* const previous = sheet->m_pDataSource;
  const std::string title = Title();
  Select("Ravezov.SQLite");
  boxes.Answer(IDYES);
  Press();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(prompt.prompts, 1);
  EXPECT_EQ(sheet->m_pDataSource, previous);
  EXPECT_EQ(Title(), title);
  EXPECT_NE(tables->m_pSchemaRowset, nullptr);  // the other page kept its connection

  boxes.Clear();
  boxes.Answer(IDNO);  // answering No asks nothing of the provider
  Press();
  EXPECT_EQ(prompt.prompts, 1);
  EXPECT_EQ(sheet->m_pDataSource, previous);
}

TEST_F(EnumPageTest, AFileThatCannotBeOpenedShowsTheProvidersErrorAndChangesNothing) {
  prompt.file = "/nonexistent-dir/nowhere.db";
  Select("Ravezov.SQLite");
  Press();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_NE(boxes.Calls()[0].caption, AfxGetAppName().str());  // the record's source
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
  EXPECT_EQ(Title(), kAppTitle);
}

TEST_F(EnumPageTest, AProviderThatCannotBeCreatedIsNamedInTheCaption) {
  Select("Ravezov.Missing");
  Press();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Could not create object");
  EXPECT_EQ(boxes.Calls()[0].caption, "Ravezov.Missing");
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_EQ(sheet->m_pDataSource, nullptr);
}

}  // namespace
