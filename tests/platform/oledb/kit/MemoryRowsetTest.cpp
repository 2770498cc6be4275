// The in-memory rowset read the way the viewer reads it, row handle rules,
// rowset information, and the columns rowset built on it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ColumnDesc.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "KitTestSupport.h"
#include "MemoryRowset.h"
#include "objbase.h"
#include "oleauto.h"

namespace {

constexpr CLSID kProvider = {0x44444444, 0x5555, 0x6666, {1, 2, 3, 4, 5, 6, 7, 8}};

std::vector<ColumnDesc> TwoColumns() {
  ColumnDesc id;
  id.name = u"id";
  id.type = DBTYPE_I8;
  id.size = 8;
  id.flags = DBCOLUMNFLAGS_ISFIXEDLENGTH;
  id.precision = 19;
  id.isKey = true;
  id.baseTable = u"items";
  id.baseColumn = u"id";
  ColumnDesc name;
  name.name = u"name";
  name.flags = DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
  name.defaultValue = u"'none'";
  return {id, name};
}

std::vector<MemoryRow> Rows(int n) {
  std::vector<MemoryRow> rows;
  for (int i = 0; i < n; ++i)
    rows.push_back({NativeValue::Integer(i), i % 3 ? NativeValue::Text("row " + std::to_string(i)) : NativeValue::Null()});
  return rows;
}

ComPtr<IRowset> MakeRowset(int n, IUnknown* creator = nullptr) {
  ComPtr<IRowset> rowset;
  EXPECT_EQ(CreateMemoryRowset(TwoColumns(), Rows(n), creator, kProvider, u"Tiny.Provider", IID_IRowset,
                               reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  return rowset;
}

// Reads every row as the viewer does: by-reference text, 20 handles a batch.
std::vector<std::vector<std::string>> ReadAll(IRowset* rowset, size_t columns) {
  std::vector<std::vector<std::string>> cells;
  ComPtr<IAccessor> accessor;
  rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&accessor));
  std::vector<DBBINDING> bindings;
  for (size_t c = 0; c < columns; ++c) bindings.push_back(ByRefTextBinding(static_cast<DBORDINAL>(c + 1), c));
  std::vector<DBBINDSTATUS> status(columns);
  HACCESSOR h = 0;
  EXPECT_EQ(accessor->CreateAccessor(DBACCESSOR_ROWDATA, static_cast<DBCOUNTITEM>(columns), bindings.data(),
                                     static_cast<DBLENGTH>(columns * sizeof(char*)), &h, status.data()),
            S_OK);
  std::vector<char*> row(columns);
  auto* handles = static_cast<HROW*>(CoTaskMemAlloc(20 * sizeof(HROW)));
  DBCOUNTITEM obtained = 0;
  rowset->RestartPosition(DB_NULL_HCHAPTER);
  rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &handles);
  while (obtained) {
    for (DBCOUNTITEM r = 0; r < obtained; ++r) {
      std::fill(row.begin(), row.end(), nullptr);
      rowset->GetData(handles[r], h, row.data());
      cells.emplace_back();
      for (char* text : row) {
        cells.back().push_back(text ? text : "");
        CoTaskMemFree(text);
      }
    }
    rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
    rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &handles);
  }
  CoTaskMemFree(handles);
  accessor->ReleaseAccessor(h, nullptr);
  return cells;
}

TEST(MemoryRowsetTest, ViewerStyleReadingGetsEveryRowOnce) {
  ComPtr<IRowset> rowset = MakeRowset(45);
  auto cells = ReadAll(rowset, 2);
  ASSERT_EQ(cells.size(), 45u);
  EXPECT_EQ(cells[0][0], "0");
  EXPECT_EQ(cells[0][1], "");  // NULL: no string delivered
  EXPECT_EQ(cells[44][1], "row 44");
  EXPECT_EQ(ReadAll(rowset, 2).size(), 45u);  // restart reads them again
  EXPECT_TRUE(ReadAll(MakeRowset(0), 2).empty());
}

TEST(MemoryRowsetTest, FetchesReportTheEndOfTheRowset) {
  ComPtr<IRowset> rowset = MakeRowset(5);
  HROW handles[4];
  HROW* p = handles;
  DBCOUNTITEM obtained = 0;
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 1, 3, &obtained, &p), S_OK);
  EXPECT_EQ(obtained, 3u);
  EXPECT_EQ(p, handles);  // the caller's array is used
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 4, &obtained, &p), DB_S_ENDOFROWSET);
  EXPECT_EQ(obtained, 1u);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 4, &obtained, &p), DB_S_ENDOFROWSET);
  EXPECT_EQ(obtained, 0u);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, -1, &obtained, &p), DB_E_CANTFETCHBACKWARDS);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, -1, 1, &obtained, &p), DB_E_CANTSCROLLBACKWARDS);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, nullptr, &p), E_INVALIDARG);

  HROW* allocated = nullptr;
  ASSERT_EQ(rowset->RestartPosition(DB_NULL_HCHAPTER), S_OK);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 0, &obtained, &allocated), S_OK);
  EXPECT_EQ(allocated, nullptr);
  EXPECT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 2, &obtained, &allocated), S_OK);
  ASSERT_NE(allocated, nullptr);
  CoTaskMemFree(allocated);
}

TEST(MemoryRowsetTest, RowHandlesAreCountedAndChecked) {
  ComPtr<IRowset> rowset = MakeRowset(3);
  ComPtr<IAccessor> accessor = rowset.As<IAccessor>();
  DBBINDING b = TextSlotBinding(2);
  HACCESSOR h = 0;
  ASSERT_EQ(accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 0, &h, nullptr), S_OK);

  HROW handles[2];
  HROW* p = handles;
  DBCOUNTITEM obtained = 0;
  ASSERT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 2, &obtained, &p), S_OK);
  DBREFCOUNT counts[2];
  DBROWSTATUS statuses[2];
  EXPECT_EQ(rowset->AddRefRows(1, &handles[1], counts, statuses), S_OK);
  EXPECT_EQ(counts[0], 2u);

  TextSlot slot{};
  EXPECT_EQ(rowset->GetData(handles[1], h, &slot), S_OK);
  EXPECT_STREQ(slot.value, "row 1");
  EXPECT_EQ(rowset->GetData(handles[1], h + 100, &slot), DB_E_BADACCESSORHANDLE);

  HROW bogus[2] = {handles[0], 999};
  EXPECT_EQ(rowset->ReleaseRows(2, bogus, nullptr, counts, statuses), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(statuses[0], DBROWSTATUS_S_OK);
  EXPECT_EQ(statuses[1], DBROWSTATUS_E_INVALID);
  EXPECT_EQ(rowset->GetData(handles[0], h, &slot), DB_E_BADROWHANDLE);  // released
  EXPECT_EQ(rowset->ReleaseRows(1, &handles[1], nullptr, counts, nullptr), S_OK);
  EXPECT_EQ(counts[0], 1u);
  EXPECT_EQ(rowset->ReleaseRows(1, &handles[1], nullptr, counts, nullptr), S_OK);
  EXPECT_EQ(rowset->ReleaseRows(1, &handles[1], nullptr, nullptr, nullptr), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(rowset->ReleaseRows(0, nullptr, nullptr, nullptr, nullptr), S_OK);
  accessor->ReleaseAccessor(h, nullptr);
}

int g_liveCreators = 0;

class CFakeCreatorCommand : public ComObject<ICommand> {
 public:
  CFakeCreatorCommand() { ++g_liveCreators; }
  ~CFakeCreatorCommand() override { --g_liveCreators; }
  HRESULT Cancel() override { return E_NOTIMPL; }
  HRESULT Execute(IUnknown*, REFIID, DBPARAMS*, DBROWCOUNT*, IUnknown**) override { return E_NOTIMPL; }
  HRESULT GetDBSession(REFIID, IUnknown**) override { return E_NOTIMPL; }
};

TEST(MemoryRowsetTest, RowsetInfoGivesPropertiesCreatorAndNoReferences) {
  ComPtr<ICommand> command;
  ASSERT_EQ(ComObject<ICommand>::CreateInstance<CFakeCreatorCommand>(IID_ICommand,
                                                                reinterpret_cast<void**>(&command)),
            S_OK);
  ComPtr<IRowsetInfo> info = MakeRowset(1, command).As<IRowsetInfo>();
  ComPtr<IUnknown> creator;
  EXPECT_EQ(info->GetSpecification(IID_ICommand, &creator), S_OK);
  EXPECT_EQ(creator.Get(), static_cast<IUnknown*>(command.Get()));
  EXPECT_EQ(info->GetSpecification(IID_ICommandText, &creator), E_NOINTERFACE);
  EXPECT_EQ(creator.Get(), nullptr);

  ComPtr<IRowsetInfo> plain = MakeRowset(1).As<IRowsetInfo>();
  EXPECT_EQ(plain->GetSpecification(IID_ICommand, &creator), S_FALSE);
  EXPECT_EQ(plain->GetReferencedRowset(3, IID_IRowset, &creator), DB_E_BADORDINAL);
  EXPECT_EQ(plain->GetReferencedRowset(1, IID_IRowset, &creator), DB_E_NOTAREFERENCECOLUMN);

  DBPROPID ids[] = {DBPROP_IRowset, DBPROP_CANFETCHBACKWARDS};
  DBPROPIDSET request{ids, 2, DBPROPSET_ROWSET};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(plain->GetProperties(1, &request, &count, &sets), S_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].rgProperties[0].vValue.boolVal, VARIANT_TRUE);
  EXPECT_EQ(sets[0].rgProperties[1].vValue.boolVal, VARIANT_FALSE);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
}

TEST(MemoryRowsetTest, TheRowsetHoldsItsCreatorUntilReleased) {
  ComPtr<ICommand> command;
  ASSERT_EQ(ComObject<ICommand>::CreateInstance<CFakeCreatorCommand>(IID_ICommand,
                                                                reinterpret_cast<void**>(&command)),
            S_OK);
  ComPtr<IRowset> rowset = MakeRowset(2, command);
  command.Reset();
  EXPECT_EQ(g_liveCreators, 1);
  // Rows still held when the client lets go do not keep anything alive.
  HROW* handles = nullptr;
  DBCOUNTITEM obtained = 0;
  rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 2, &obtained, &handles);
  CoTaskMemFree(handles);
  rowset.Reset();
  EXPECT_EQ(g_liveCreators, 0);
}

TEST(MemoryRowsetTest, ALoaderThreadReadsWhileAnotherFetches) {
  ComPtr<IRowset> rowset = MakeRowset(200);
  size_t fromThread = 0;
  std::thread loader([&] {
    HROW* handles = nullptr;
    DBCOUNTITEM obtained = 0;
    while (SUCCEEDED(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &handles)) && obtained) {
      fromThread += obtained;
      rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
      CoTaskMemFree(handles);
      handles = nullptr;
    }
  });
  size_t here = 0;
  HROW* handles = nullptr;
  DBCOUNTITEM obtained = 0;
  while (SUCCEEDED(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 7, &obtained, &handles)) && obtained) {
    here += obtained;
    rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
    CoTaskMemFree(handles);
    handles = nullptr;
  }
  loader.join();
  EXPECT_EQ(fromThread + here, 200u);  // every row handed out exactly once
}

TEST(ColumnInfoTest, NamesLiveInOneBufferAndMapBack) {
  DBORDINAL count = 0;
  DBCOLUMNINFO* info = nullptr;
  OLECHAR* strings = nullptr;
  ASSERT_EQ(FillColumnInfo(TwoColumns(), true, &count, &info, &strings), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(info[0].iOrdinal, 0u);
  EXPECT_TRUE(info[0].dwFlags & DBCOLUMNFLAGS_ISBOOKMARK);
  EXPECT_EQ(std::u16string(info[2].pwszName), u"name");
  EXPECT_EQ(info[2].columnid.eKind, DBKIND_NAME);
  EXPECT_EQ(info[2].iOrdinal, 2u);
  EXPECT_EQ(info[1].wType, DBTYPE_I8);

  DBID ids[3] = {info[2].columnid, info[0].columnid, {}};
  ids[2].eKind = DBKIND_NAME;
  ids[2].uName.pwszName = const_cast<LPOLESTR>(u"missing");
  DBORDINAL ordinals[3];
  EXPECT_EQ(MapColumnIDs(TwoColumns(), true, 3, ids, ordinals), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(ordinals[0], 2u);
  EXPECT_EQ(ordinals[1], 0u);
  EXPECT_EQ(ordinals[2], DB_INVALIDCOLUMN);
  ids[0].uName.pwszName = const_cast<LPOLESTR>(u"NAME");
  EXPECT_EQ(MapColumnIDs(TwoColumns(), false, 1, ids, ordinals), S_OK);
  CoTaskMemFree(info);
  CoTaskMemFree(strings);
}

std::vector<std::u16string> ColumnNames(IUnknown* rowset) {
  ComPtr<IColumnsInfo> info;
  rowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&info));
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  info->GetColumnInfo(&count, &columns, &strings);
  std::vector<std::u16string> names;
  for (DBORDINAL i = 0; i < count; ++i) names.push_back(columns[i].pwszName);
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  return names;
}

TEST(ColumnsRowsetTest, StandardColumnsInOrderWithOneRowPerColumn) {
  ComPtr<IRowset> all;
  ASSERT_EQ(CreateColumnsRowset(TwoColumns(), false, nullptr, IID_IRowset, reinterpret_cast<IUnknown**>(&all)),
            S_OK);
  std::vector<std::u16string> names = ColumnNames(all);
  ASSERT_EQ(names.size(), 16u);
  EXPECT_EQ(names[0], u"DBCOLUMN_IDNAME");
  EXPECT_EQ(names[6], u"DBCOLUMN_TYPEINFO");
  EXPECT_EQ(names[10], u"DBCOLUMN_FLAGS");
  EXPECT_EQ(names[15], u"DBCOLUMN_DEFAULTVALUE");

  // Read with the viewer's bindings, leaving out the IUnknown column as it does.
  auto cells = ReadAll(all, 6);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0][0], "id");
  EXPECT_EQ(cells[0][3], "id");
  EXPECT_EQ(cells[1][4], "2");           // DBCOLUMN_NUMBER
  EXPECT_EQ(cells[1][5], "130");         // DBTYPE_WSTR

  ComPtr<IColumnsInfo> columnsInfo = all.As<IColumnsInfo>();
  DBID wanted[2] = {DBCOLUMN_KEYCOLUMN, DBCOLUMN_NUMBER};
  DBORDINAL ordinals[2];
  ASSERT_EQ(columnsInfo->MapColumnIDs(2, wanted, ordinals), S_OK);
  EXPECT_EQ(ordinals[0], 14u);
  EXPECT_EQ(ordinals[1], 5u);

  ComPtr<IRowset> chosen;
  DBID optional[] = {DBCOLUMN_BASETABLENAME};
  ASSERT_EQ(CreateColumnsRowset(TwoColumns(), true, 1, optional, nullptr, kProvider, u"Tiny.Provider",
                                IID_IRowset, reinterpret_cast<IUnknown**>(&chosen)),
            S_OK);
  names = ColumnNames(chosen);
  ASSERT_EQ(names.size(), 12u);
  EXPECT_EQ(names[11], u"DBCOLUMN_BASETABLENAME");
  EXPECT_EQ(ReadAll(chosen, 2).size(), 3u);  // the bookmark column has its row

  DBID bogus = {{DBCOL_SPECIALCOL}, DBKIND_GUID_PROPID, {.ulPropid = 999}};
  ComPtr<IRowset> none;
  EXPECT_EQ(CreateColumnsRowset(TwoColumns(), false, 1, &bogus, nullptr, kProvider, u"x", IID_IRowset,
                                reinterpret_cast<IUnknown**>(&none)),
            DB_E_BADCOLUMNID);

  DBORDINAL available = 0;
  DBID* ids = nullptr;
  ASSERT_EQ(GetAvailableColumnsRowsetColumns(&available, &ids), S_OK);
  EXPECT_EQ(available, 5u);
  CoTaskMemFree(ids);
}

}  // namespace
