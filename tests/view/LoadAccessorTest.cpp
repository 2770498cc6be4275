#include "LoadAccessor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "BookmarkReader.h"
#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "TestEnvironment.h"
#include "objbase.h"

namespace {

constexpr DBCOUNTITEM kColumns = 2;

// The viewer's display bindings for the first two columns.
void BindTwoTextColumns(DisplayBindings& bindings) {
  auto* array = static_cast<DBBINDING*>(CoTaskMemAlloc(sizeof(DBBINDING) * kColumns));
  for (DBCOUNTITEM c = 0; c < kColumns; ++c) {
    array[c] = DBBINDING{};
    array[c].iOrdinal = c + 1;
    array[c].obValue = c * sizeof(char*);
    array[c].dwPart = DBPART_VALUE;
    array[c].dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    array[c].cbMaxLen = sizeof(char*);
    array[c].wType = DBTYPE_STR | DBTYPE_BYREF;
  }
  bindings.Adopt(array, kColumns);
}

class LoadAccessorTest : public testing::Test {
 protected:
  void Open(const std::vector<RowsetProperty>& properties) {
    m_source = OpenDataSource(CLSID_RavezovSQLite, std::string(SamplesDir()) + "/trading.db");
    ASSERT_TRUE(m_source);
    m_session = CreateSession(m_source);
    rowset = Execute(m_session, "select code, name from Desks order by code", properties).rowset;
    ASSERT_TRUE(rowset);
    expected = ReadAll(rowset);
    ASSERT_GE(expected.size(), 2u);
    rowset->RestartPosition(DB_NULL_HCHAPTER);
    BindTwoTextColumns(bindings);
  }

  // Reads the first rows through the accessor: each row's texts match what
  // the rowset holds; returns their bookmarks.
  std::vector<std::string> ReadFirstRows(const LoadAccessor& accessor) {
    HROW handles[20];
    HROW* p = handles;
    DBCOUNTITEM obtained = 0;
    EXPECT_TRUE(SUCCEEDED(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p)));
    std::vector<BYTE> buffer(accessor.RowSize() + 8);
    // Aligned as a row buffer of the viewer is.
    BYTE* row = buffer.data() + (8 - reinterpret_cast<uintptr_t>(buffer.data()) % 8) % 8;
    std::vector<std::string> bookmarks;
    BookmarkReader reader(rowset.Get());
    for (DBCOUNTITEM i = 0; i < obtained; ++i) {
      accessor.ClearRow(row);
      rowset->GetData(handles[i], accessor.Handle(), row);
      auto* texts = reinterpret_cast<char**>(row);
      for (DBCOUNTITEM c = 0; c < kColumns; ++c) {
        EXPECT_STREQ(texts[c] ? texts[c] : "", expected[i][c].value_or("").c_str()) << "row " << i;
        CoTaskMemFree(texts[c]);
      }
      bookmarks.emplace_back(accessor.Bookmark(row));
      if (accessor.HasBookmarks()) {
        EXPECT_EQ(bookmarks.back(), reader.Read(handles[i])) << "row " << i;
      }
    }
    rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
    return bookmarks;
  }

  ComApartment m_apartment;
  ComPtr<IDBInitialize> m_source;
  ComPtr<IUnknown> m_session;
  ComPtr<IRowset> rowset;
  std::vector<TextRow> expected;
  DisplayBindings bindings;
};

TEST_F(LoadAccessorTest, OneGetDataReadsARowsTextsAndTheBookmarkThatFindsItAgain) {
  Open({{DBPROP_IRowsetLocate, 1}});
  const LoadAccessor accessor(rowset.Get(), bindings, true);
  ASSERT_TRUE(accessor.IsOpen());
  ASSERT_TRUE(accessor.HasBookmarks());
  EXPECT_GT(accessor.RowSize(), bindings.RowSize());
  const std::vector<std::string> bookmarks = ReadFirstRows(accessor);
  ASSERT_EQ(bookmarks.size(), std::min<size_t>(expected.size(), 20));
  EXPECT_EQ(std::set<std::string>(bookmarks.begin(), bookmarks.end()).size(), bookmarks.size());
  for (const std::string& bookmark : bookmarks) EXPECT_FALSE(bookmark.empty());
}

TEST_F(LoadAccessorTest, WithoutBookmarksTheTextsAloneAreReadAsTheDisplayBindingsLayThemOut) {
  // Not asked for: the row is the display bindings' row.
  Open({{DBPROP_IRowsetLocate, 1}});
  const LoadAccessor plain(rowset.Get(), bindings, false);
  ASSERT_TRUE(plain.IsOpen());
  EXPECT_FALSE(plain.HasBookmarks());
  EXPECT_EQ(plain.RowSize(), bindings.RowSize());
  for (const std::string& bookmark : ReadFirstRows(plain)) EXPECT_EQ(bookmark, "");
}

TEST_F(LoadAccessorTest, ARowsetWithoutBookmarksStillHasItsTextsRead) {
  // Asked for, but the rowset has none: the bookmark binding is refused.
  Open({});
  const LoadAccessor accessor(rowset.Get(), bindings, true);
  ASSERT_TRUE(accessor.IsOpen());
  EXPECT_FALSE(accessor.HasBookmarks());
  EXPECT_EQ(accessor.RowSize(), bindings.RowSize());
  EXPECT_EQ(ReadFirstRows(accessor).size(), std::min<size_t>(expected.size(), 20));
}

}  // namespace
