// Accessor creation rules, reference counts and returned bindings.
#include <gtest/gtest.h>

#include "AccessorTable.h"
#include "KitTestSupport.h"
#include "objbase.h"

namespace {

constexpr DBORDINAL kColumns = 3;

TEST(AccessorTableTest, EachBadBindingGetsItsOwnStatus) {
  CAccessorTable table;
  DBBINDING b[7] = {
      TextSlotBinding(1, 0),
      TextSlotBinding(4, 1),                                     // past the last column
      TextSlotBinding(0, 2),                                     // bookmark, but there is none
      MakeBinding(2, DBTYPE_DBTIMESTAMP, 16, 0, 0, 0, DBPART_VALUE),  // no such conversion
      MakeBinding(2, DBTYPE_STR, 16, 0, 0, 0, 0),                // no parts
      MakeBinding(2, DBTYPE_I4 | DBTYPE_BYREF, 4, 0, 0, 0, DBPART_VALUE),
      MakeBinding(2, DBTYPE_STR, 16, 0, 8, 20, DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS),  // overlap
  };
  DBBINDSTATUS status[7];
  HACCESSOR h = 99;
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 7, b, 0, &h, status, kColumns, false),
            DB_E_ERRORSOCCURRED);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(status[0], DBBINDSTATUS_OK);
  EXPECT_EQ(status[1], DBBINDSTATUS_BADORDINAL);
  EXPECT_EQ(status[2], DBBINDSTATUS_BADORDINAL);
  EXPECT_EQ(status[3], DBBINDSTATUS_UNSUPPORTEDCONVERSION);
  EXPECT_EQ(status[4], DBBINDSTATUS_BADBINDINFO);
  EXPECT_EQ(status[5], DBBINDSTATUS_BADBINDINFO);
  EXPECT_EQ(status[6], DBBINDSTATUS_BADBINDINFO);

  DBBINDSTATUS bookmarkStatus;
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 1, &b[2], 0, &h, &bookmarkStatus, kColumns, true), S_OK);
  EXPECT_EQ(bookmarkStatus, DBBINDSTATUS_OK);
}

TEST(AccessorTableTest, FlagsAndNullAccessorsAreChecked) {
  CAccessorTable table;
  DBBINDING b = TextSlotBinding(1);
  HACCESSOR h = 0;
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 0, nullptr, 0, &h, nullptr, kColumns, false),
            DB_E_NULLACCESSORNOTSUPPORTED);
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_PARAMETERDATA, 1, &b, 0, &h, nullptr, kColumns, false),
            DB_E_BADACCESSORFLAGS);
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA | DBACCESSOR_PASSBYREF, 1, &b, 0, &h, nullptr, kColumns,
                                 false),
            DB_E_BYREFACCESSORNOTSUPPORTED);
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 1, nullptr, 0, &h, nullptr, kColumns, false), E_INVALIDARG);
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 0, nullptr, nullptr, kColumns, false), E_INVALIDARG);
  b.dwMemOwner = DBMEMOWNER_PROVIDEROWNED;
  b.wType = DBTYPE_STR | DBTYPE_BYREF;
  DBBINDSTATUS s;
  EXPECT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 0, &h, &s, kColumns, false), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(s, DBBINDSTATUS_BADBINDINFO);
}

TEST(AccessorTableTest, CountsReferencesAndReturnsCopiesOfBindings) {
  CAccessorTable table;
  DBBINDING b[2] = {TextSlotBinding(1, 0), ByRefTextBinding(2, 40)};
  HACCESSOR h = 0;
  ASSERT_EQ(table.CreateAccessor(DBACCESSOR_ROWDATA, 2, b, 0, &h, nullptr, kColumns, false), S_OK);
  ASSERT_NE(h, 0u);

  DBACCESSORFLAGS flags = 0;
  DBCOUNTITEM count = 0;
  DBBINDING* copy = nullptr;
  ASSERT_EQ(table.GetBindings(h, &flags, &count, &copy), S_OK);
  EXPECT_EQ(flags, DBACCESSOR_ROWDATA);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(copy[1].wType, DBTYPE_STR | DBTYPE_BYREF);
  EXPECT_EQ(copy[1].obValue, b[1].obValue);
  CoTaskMemFree(copy);

  DBREFCOUNT refs = 0;
  EXPECT_EQ(table.AddRefAccessor(h, &refs), S_OK);
  EXPECT_EQ(refs, 2u);
  EXPECT_EQ(table.ReleaseAccessor(h, &refs), S_OK);
  EXPECT_EQ(refs, 1u);
  EXPECT_EQ(table.ReleaseAccessor(h, &refs), S_OK);
  EXPECT_EQ(refs, 0u);
  Accessor gone;
  EXPECT_FALSE(table.Find(h, gone));
  EXPECT_EQ(table.ReleaseAccessor(h, nullptr), DB_E_BADACCESSORHANDLE);
  EXPECT_EQ(table.GetBindings(h, &flags, &count, &copy), DB_E_BADACCESSORHANDLE);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(count, 0u);
}

}  // namespace
