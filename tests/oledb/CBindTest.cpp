#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CBind.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "DisplayBindings.h"
#include "MemoryRowset.h"
#include "ReleasePropertySet.h"
#include "RowBatchReader.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr DBPART kAllParts = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
constexpr DBLENGTH kUnlimited = 0xFFFFFFFF;

ComPtr<IRowset> MemoryRowset(std::vector<ColumnDesc> columns, std::vector<MemoryRow> rows) {
  ComPtr<IRowset> rowset;
  EXPECT_EQ(CreateMemoryRowset(std::move(columns), std::move(rows), nullptr, GUID_NULL, u"Test", IID_IRowset,
                               reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  return rowset;
}

ColumnDesc Text(const char16_t* name) {
  ColumnDesc column;
  column.name = name;
  column.type = DBTYPE_WSTR;
  column.size = 300;
  return column;
}

// The column information of a rowset as the test describes it, and the
// fetch calls made on it; the rowset itself has no rows.
class DescribedRowset : public ComObject<IRowset, IColumnsInfo> {
 public:
  struct Column {
    const char16_t* name;
    DBORDINAL ordinal;
    DBTYPE type;
    DBLENGTH size = 0;
  };
  explicit DescribedRowset(std::vector<Column> columns) : m_columns(std::move(columns)) {}

  HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM, const HROW[], DBREFCOUNT[], DBROWSTATUS[]) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetData(HROW, HACCESSOR, void*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER, DBROWOFFSET, DBROWCOUNT cRows, DBCOUNTITEM* obtained,
                                        HROW**) override {
    m_fetches.push_back(cRows);
    *obtained = 0;
    return DB_S_ENDOFROWSET;
  }
  HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM cRows, const HROW[], DBROWOPTIONS[], DBREFCOUNT[],
                                        DBROWSTATUS[]) override {
    m_releases.push_back(cRows);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* count, DBCOLUMNINFO** info, OLECHAR** strings) override {
    *count = static_cast<DBORDINAL>(m_columns.size());
    *info = static_cast<DBCOLUMNINFO*>(CoTaskMemAlloc(sizeof(DBCOLUMNINFO) * m_columns.size()));
    size_t chars = 0;
    for (const Column& column : m_columns) chars += OleStrLen(column.name) + 1;
    *strings = static_cast<OLECHAR*>(CoTaskMemAlloc(sizeof(OLECHAR) * (chars + 1)));
    OLECHAR* next = *strings;
    for (size_t i = 0; i < m_columns.size(); ++i) {
      DBCOLUMNINFO& out = (*info)[i];
      out = DBCOLUMNINFO{};
      const size_t length = OleStrLen(m_columns[i].name);
      std::memcpy(next, m_columns[i].name, sizeof(OLECHAR) * (length + 1));
      out.pwszName = next;
      next += length + 1;
      out.iOrdinal = m_columns[i].ordinal;
      out.wType = m_columns[i].type;
      out.ulColumnSize = m_columns[i].size;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL, const DBID[], DBORDINAL[]) override { return E_NOTIMPL; }

  std::vector<DBROWCOUNT> m_fetches;
  std::vector<DBCOUNTITEM> m_releases;

 private:
  std::vector<Column> m_columns;
};

ComPtr<DescribedRowset> Describe(std::vector<DescribedRowset::Column> columns) {
  ComPtr<DescribedRowset> rowset;
  rowset.Attach(new DescribedRowset(std::move(columns)));
  return rowset;
}

std::vector<std::string> g_trace;
void RecordTrace(const char* text) { g_trace.emplace_back(text); }

// A report list of its own, for the columns the display bindings insert.
class DisplayList : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_list.Create(LVS_REPORT, RECT{0, 0, 600, 300}, static_cast<QWidget*>(nullptr), 1000)); }

  struct Shown {
    std::string heading;
    int width;
    int format;
  };
  std::vector<Shown> Columns() {
    std::vector<Shown> shown;
    char heading[256];
    for (int i = 0;; ++i) {
      LVCOLUMN column;
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      column.pszText = heading;
      column.cchTextMax = sizeof heading;
      if (!m_list.GetColumn(i, &column)) break;
      shown.push_back({heading, column.cx, column.fmt});
    }
    return shown;
  }
  std::vector<std::string> Headings() {
    std::vector<std::string> headings;
    for (const Shown& column : Columns()) headings.push_back(column.heading);
    return headings;
  }

  CListCtrl m_list;
  DisplayBindings m_bindings;
};

}  // namespace

TEST(CBind, LaysOutValueLengthAndStatusOfEachBindingBackToBack) {
  CBind bind;
  char first[256] = "", second[256] = "", third[256] = "";
  EXPECT_TRUE(bind.AddBinding(1, first, 256, kAllParts));
  EXPECT_TRUE(bind.AddBinding(2, second, 256, kAllParts));
  EXPECT_TRUE(bind.AddBinding(3, third, 256, kAllParts));
  ASSERT_EQ(bind.BindingCount(), 3u);
  const DBBINDING* bindings = bind.Bindings();
  EXPECT_EQ(bindings[0].obValue, 0u);
  EXPECT_EQ(bindings[1].obValue, 264u);
  EXPECT_EQ(bindings[1].obLength, 520u);
  EXPECT_EQ(bindings[1].obStatus, 524u);
  EXPECT_EQ(bindings[2].obValue, 528u);
  EXPECT_EQ(bind.RowSize(), 792u);
  EXPECT_EQ(bindings[1].iOrdinal, 2u);
  EXPECT_EQ(bindings[1].wType, DBTYPE_STR);
  EXPECT_EQ(bindings[1].cbMaxLen, 256u);
  EXPECT_EQ(bindings[1].dwPart, kAllParts);
  EXPECT_EQ(bindings[1].dwMemOwner, DBMEMOWNER_CLIENTOWNED);
}

TEST(CBind, ValueLengthsAreRoundedUpToFourAndMissingPartsTakeNoRoom) {
  CBind bind;
  bind.AddBinding(1, nullptr, 10, DBPART_VALUE);
  bind.AddBinding(2, nullptr, 5, DBPART_VALUE | DBPART_STATUS);
  EXPECT_EQ(bind.Bindings()[1].obValue, 12u);
  EXPECT_EQ(bind.Bindings()[1].obStatus, 20u);
  EXPECT_EQ(bind.RowSize(), 24u);
}

TEST(CBind, SeedsTheRowFromTheDestinationAndCutsItsLastByte) {
  CBind bind;
  char destination[8];
  std::memcpy(destination, "ABCDEFGH", 8);  // no terminator of its own
  bind.AddBinding(1, destination, 8, kAllParts);
  EXPECT_EQ(destination[7], '\0');
  EXPECT_STREQ(reinterpret_cast<const char*>(bind.RowBuffer()), "ABCDEFG");
  DBLENGTH length = 0;
  DBSTATUS status = 99;
  std::memcpy(&length, bind.RowBuffer() + bind.Bindings()[0].obLength, sizeof length);
  std::memcpy(&status, bind.RowBuffer() + bind.Bindings()[0].obStatus, sizeof status);
  EXPECT_EQ(length, 7u);
  EXPECT_EQ(status, DBSTATUS_S_OK);
}

TEST(CBind, ReadsRowsIntoDestinationsWithNullsEmptyAndLongTextCut) {
  std::vector<MemoryRow> rows;
  rows.push_back({NativeValue::Text("alpha"), NativeValue::Integer(7)});
  rows.push_back({NativeValue::Null(), NativeValue::Integer(8)});
  rows.push_back({NativeValue::Text(std::string(300, 'x')), NativeValue::Null()});
  ColumnDesc number;
  number.name = u"n";
  number.type = DBTYPE_I8;
  ComPtr<IRowset> rowset = MemoryRowset({Text(u"t"), number}, std::move(rows));

  char text[256] = "stale", value[256] = "stale";
  std::vector<std::pair<std::string, std::string>> read;
  {
    CBind bind;
    bind.AddBinding(1, text, 256, kAllParts);
    bind.AddBinding(2, value, 256, kAllParts);
    bind.CreateAccessor(rowset.Get());
    ASSERT_TRUE(bind.HasAccessor());
    RowBatchReader(rowset.Get()).ReadAll([&](const HROW* handles, DBCOUNTITEM count) {
      for (DBCOUNTITEM i = 0; i < count; ++i) {
        EXPECT_TRUE(SUCCEEDED(bind.GetData(rowset.Get(), handles[i])));
        read.emplace_back(text, value);
      }
    });
  }
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0], (std::pair<std::string, std::string>("alpha", "7")));
  EXPECT_EQ(read[1], (std::pair<std::string, std::string>("", "8")));
  EXPECT_EQ(read[2].first, std::string(255, 'x'));
  EXPECT_EQ(read[2].second, "");
}

TEST(CBind, WithoutAnAccessorEveryReadFailsAndLeavesTheDestinations) {
  auto rowset = Describe({{u"a", 1, DBTYPE_I4}});  // no IAccessor
  char destination[256] = "kept";
  CBind bind;
  bind.AddBinding(1, destination, 256, kAllParts);
  bind.CreateAccessor(static_cast<IRowset*>(rowset.Get()));
  EXPECT_FALSE(bind.HasAccessor());
  EXPECT_TRUE(FAILED(bind.GetData(rowset.Get(), 1)));
  EXPECT_STREQ(destination, "kept");
}

TEST(CBind, DestructionReleasesTheAccessorAndTheRowsetThenTraces) {
  ComPtr<IRowset> rowset = MemoryRowset({Text(u"t")}, {});
  rowset->AddRef();
  const ULONG before = rowset->Release();
  g_trace.clear();
  const DebugTraceSink previous = SetDebugTraceSink(&RecordTrace);
  {
    CBind bind;
    bind.AddBinding(1, nullptr, 256, kAllParts);
    bind.CreateAccessor(rowset.Get());
    ASSERT_TRUE(bind.HasAccessor());
    rowset->AddRef();
    EXPECT_GT(rowset->Release(), before);  // the object holds references
  }
  SetDebugTraceSink(previous);
  rowset->AddRef();
  EXPECT_EQ(rowset->Release(), before);
  EXPECT_EQ(g_trace, std::vector<std::string>{"Destructor de CBind\n"});
}

TEST(RowBatchReader, AnEmptyRowsetTakesOneFetchOfTwentyAndOneReleaseOfNone) {
  auto rowset = Describe({{u"a", 1, DBTYPE_I4}});
  int batches = 0;
  EXPECT_EQ(RowBatchReader(rowset.Get()).ReadAll([&](const HROW*, DBCOUNTITEM) { ++batches; }), S_OK);
  EXPECT_EQ(batches, 0);
  EXPECT_EQ(rowset->m_fetches, std::vector<DBROWCOUNT>{20});
  EXPECT_EQ(rowset->m_releases, std::vector<DBCOUNTITEM>{0});
}

TEST(RowBatchReader, ReadsTwentyAtATimeAndStopsBetweenBatches) {
  std::vector<MemoryRow> rows;
  for (int i = 0; i < 45; ++i) rows.push_back({NativeValue::Integer(i)});
  ColumnDesc number;
  number.name = u"n";
  number.type = DBTYPE_I8;
  ComPtr<IRowset> all = MemoryRowset({number}, rows);
  std::vector<DBCOUNTITEM> sizes;
  RowBatchReader(all.Get()).ReadAll([&](const HROW*, DBCOUNTITEM count) { sizes.push_back(count); });
  EXPECT_EQ(sizes, (std::vector<DBCOUNTITEM>{20, 20, 5}));

  ComPtr<IRowset> stopped = MemoryRowset({number}, rows);
  sizes.clear();
  RowBatchReader(stopped.Get())
      .ReadAll([&](const HROW*, DBCOUNTITEM count) { sizes.push_back(count); }, [&] { return sizes.size() == 1; });
  EXPECT_EQ(sizes, std::vector<DBCOUNTITEM>{20});
}

TEST(ReleasePropertySet, ClearsTheValuesAndFreesTheArray) {
  DBPROPSET set{};
  set.cProperties = 2;
  set.rgProperties = static_cast<DBPROP*>(CoTaskMemAlloc(2 * sizeof(DBPROP)));
  std::memset(set.rgProperties, 0, 2 * sizeof(DBPROP));
  set.rgProperties[0].vValue.vt = VT_BSTR;
  set.rgProperties[0].vValue.bstrVal = SysAllocString(u"a string the set owns");
  set.rgProperties[1].vValue.vt = VT_BOOL;
  set.rgProperties[1].vValue.boolVal = VARIANT_TRUE;
  ReleasePropertySet(set);  // the sanitizer build catches a leak
  EXPECT_EQ(set.rgProperties, nullptr);
}

TEST_F(DisplayList, BookmarksAreNeverShownAndDoNotCountAsHiddenColumns) {
  auto leading = Describe({{u"Bmk", 0, DBTYPE_BYTES, 4},
                           {u"A", 1, DBTYPE_I4},
                           {u"B", 2, DBTYPE_I4},
                           {u"C", 3, DBTYPE_I4},
                           {u"D", 4, DBTYPE_I4}});
  ASSERT_EQ(BindColumnsForDisplay(leading.Get(), 3, 20, m_list, m_bindings), S_OK);
  EXPECT_EQ(Headings(), std::vector<std::string>{"D"});
  ASSERT_EQ(m_bindings.ColumnCount(), 1u);
  EXPECT_EQ(m_bindings.Bindings()[0].iOrdinal, 4u);

  const DescribedRowset::Column columns[] = {{u"A", 1, DBTYPE_I4}, {u"Bmk", 0, DBTYPE_BYTES, 4}, {u"B", 2, DBTYPE_I4}};
  auto middle = Describe({columns[0], columns[1], columns[2]});
  CListCtrl other;
  ASSERT_TRUE(other.Create(LVS_REPORT, RECT{0, 0, 600, 300}, static_cast<QWidget*>(nullptr), 1001));
  DisplayBindings bindings;
  ASSERT_EQ(BindColumnsForDisplay(middle.Get(), 0, 20, other, bindings), S_OK);
  EXPECT_EQ(other.GetHeaderCtrl()->GetItemCount(), 2);
  EXPECT_EQ(bindings.ColumnCount(), 2u);
  EXPECT_EQ(bindings.Bindings()[1].iOrdinal, 2u);
}

TEST_F(DisplayList, ObjectColumnsAreNeverShownTogetherOrLast) {
  auto rowset = Describe({{u"A", 1, DBTYPE_I4},
                          {u"O1", 2, DBTYPE_IUNKNOWN},
                          {u"O2", 3, DBTYPE_IUNKNOWN},
                          {u"B", 4, DBTYPE_WSTR, 10},
                          {u"O3", 5, DBTYPE_IUNKNOWN}});
  ASSERT_EQ(BindColumnsForDisplay(rowset.Get(), 0, 20, m_list, m_bindings), S_OK);
  EXPECT_EQ(Headings(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(DisplayList, BindsEveryShownColumnAsOneStringPointer) {
  auto rowset = Describe({{u"A", 1, DBTYPE_I4}, {u"B", 2, DBTYPE_R8}, {u"C", 3, DBTYPE_WSTR, 40}});
  ASSERT_EQ(BindColumnsForDisplay(rowset.Get(), 0, 20, m_list, m_bindings), S_OK);
  ASSERT_EQ(m_bindings.ColumnCount(), 3u);
  EXPECT_EQ(m_bindings.RowSize(), 3 * sizeof(void*));
  for (DBCOUNTITEM i = 0; i < 3; ++i) {
    const DBBINDING& binding = m_bindings.Bindings()[i];
    EXPECT_EQ(binding.iOrdinal, i + 1);
    EXPECT_EQ(binding.obValue, i * sizeof(void*));
    EXPECT_EQ(binding.cbMaxLen, sizeof(void*));
    EXPECT_EQ(binding.dwPart, DBPART_VALUE);
    EXPECT_EQ(binding.wType, 0x4081);
    EXPECT_EQ(binding.obLength, 0u);
    EXPECT_EQ(binding.obStatus, 0u);
  }
}

TEST_F(DisplayList, WidthsFollowTheTypeTableTheCapAndWideHeadings) {
  const std::string wide = "A heading much wider than its twenty characters";
  const std::u16string wideName = AnsiToOle(wide);
  auto rowset = Describe({{u"I", 1, DBTYPE_I4},
                          {u"W", 2, DBTYPE_WSTR, 255},
                          {wideName.c_str(), 3, DBTYPE_WSTR, 255},
                          {u"Memo", 4, DBTYPE_WSTR, kUnlimited},
                          {u"Bin", 5, DBTYPE_BYTES, 4},
                          {u"T", 6, DBTYPE_DBTIME},
                          {u"R", 7, DBTYPE_R8},
                          {u"C", 8, DBTYPE_CY},
                          {u"S", 9, DBTYPE_I2}});
  ASSERT_EQ(BindColumnsForDisplay(rowset.Get(), 0, 20, m_list, m_bindings), S_OK);
  const auto columns = Columns();
  ASSERT_EQ(columns.size(), 9u);
  EXPECT_EQ(columns[0].width, 72);
  EXPECT_EQ(columns[1].width, 132);
  EXPECT_EQ(columns[2].width, m_list.GetStringWidth(wide.c_str()) + 13);
  EXPECT_GT(columns[2].width, 132);
  // Unlimited text is not capped: the heading decides its width.
  EXPECT_EQ(columns[3].width, m_list.GetStringWidth("Memo") + 13);
  EXPECT_EQ(columns[4].width, 6 * 8 + 12);
  EXPECT_EQ(columns[5].width, 132);  // an unlisted type is 255, capped
  EXPECT_EQ(columns[8].width, 6 * 5 + 12);
  EXPECT_EQ(columns[0].format, LVCFMT_LEFT);
  EXPECT_EQ(columns[6].format, LVCFMT_RIGHT);
  EXPECT_EQ(columns[7].format, LVCFMT_RIGHT);
  EXPECT_EQ(columns[8].format, LVCFMT_LEFT);
}

TEST(DisplayColumns, CapComparesSignedAndHugeSizesNeverOverflow) {
  DBCOLUMNINFO column{};
  column.wType = DBTYPE_WSTR;
  column.ulColumnSize = 0x80000000u;  // reads as the most negative count
  EXPECT_LT(DisplayCharacters(column, 20), 0);
  EXPECT_EQ(DisplayColumnWidth(DisplayCharacters(column, 20), 30), 43);
  column.ulColumnSize = 0x7FFFFFFFu;
  EXPECT_EQ(DisplayCharacters(column, 40), 40);
  column.wType = DBTYPE_BYTES;
  column.ulColumnSize = 8;
  EXPECT_EQ(DisplayCharacters(column, 40), 16);
}

TEST(DisplayColumns, WithoutColumnInformationNothingIsCreated) {
  ComPtr<IRowset> plain;
  CListCtrl list;
  ASSERT_TRUE(list.Create(LVS_REPORT, RECT{0, 0, 100, 100}, static_cast<QWidget*>(nullptr), 1000));
  DisplayBindings bindings;
  // A rowset object that answers for nothing but IRowset.
  class Bare : public ComObject<IRowset> {
   public:
    HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM, const HROW[], DBREFCOUNT[], DBROWSTATUS[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetData(HROW, HACCESSOR, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER, DBROWOFFSET, DBROWCOUNT, DBCOUNTITEM*, HROW**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM, const HROW[], DBROWOPTIONS[], DBREFCOUNT[], DBROWSTATUS[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER) override { return E_NOTIMPL; }
  };
  plain.Attach(new Bare);
  EXPECT_EQ(BindColumnsForDisplay(plain.Get(), 0, 20, list, bindings), E_NOINTERFACE);
  EXPECT_TRUE(bindings.IsEmpty());
  LVCOLUMN column;
  column.mask = LVCF_WIDTH;
  EXPECT_FALSE(list.GetColumn(0, &column));
}
