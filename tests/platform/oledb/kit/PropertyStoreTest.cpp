// Property information, values and the status rules of a table-driven store.
#include <gtest/gtest.h>

#include <string>

#include "PropertyTable.h"
#include "objbase.h"
#include "oleauto.h"

namespace {

constexpr DBPROPFLAGS kInitRW = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;
constexpr DBPROPFLAGS kInfoRO = DBPROPFLAGS_DATASOURCEINFO | DBPROPFLAGS_READ;

constexpr PropertyDef kTable[] = {
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInitRW, {}, u"Data Source"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInitRW, {VT_I4, 15, nullptr}, u"Connect Timeout"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kInitRW, {VT_I2, 4, nullptr}, u"Prompt"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME, VT_BSTR, kInfoRO, {VT_BSTR, 0, u"TinyDB"}, u"DBMS Name"},
};

VARIANT I4(LONG v) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_I4;
  x.lVal = v;
  return x;
}

VARIANT Text(const char16_t* s) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_BSTR;
  x.bstrVal = SysAllocString(s);
  return x;
}

DBPROP Prop(DBPROPID id, VARIANT value, DBPROPOPTIONS options = DBPROPOPTIONS_REQUIRED) {
  DBPROP p{};
  p.dwPropertyID = id;
  p.dwOptions = options;
  p.colid = DB_NULLID;
  p.vValue = value;
  return p;
}

void FreeSets(DBPROPSET* sets, ULONG count) {
  for (ULONG i = 0; i < count; ++i) {
    for (ULONG j = 0; j < sets[i].cProperties; ++j) VariantClear(&sets[i].rgProperties[j].vValue);
    CoTaskMemFree(sets[i].rgProperties);
  }
  CoTaskMemFree(sets);
}

void FreeInfo(DBPROPINFOSET* sets, ULONG count, OLECHAR* desc) {
  for (ULONG i = 0; i < count; ++i) CoTaskMemFree(sets[i].rgPropertyInfos);
  CoTaskMemFree(sets);
  CoTaskMemFree(desc);
}

TEST(PropertyStoreTest, InfoForEverySetPointsIntoOneDescriptionBuffer) {
  CPropertyStore store(kTable);
  ULONG count = 0;
  DBPROPINFOSET* sets = nullptr;
  OLECHAR* desc = nullptr;
  ASSERT_EQ(store.GetPropertyInfo(0, nullptr, &count, &sets, &desc), S_OK);
  ASSERT_EQ(count, 2u);
  ASSERT_NE(desc, nullptr);
  EXPECT_EQ(sets[0].guidPropertySet, DBPROPSET_DBINIT);
  ASSERT_EQ(sets[0].cPropertyInfos, 3u);
  EXPECT_EQ(sets[1].guidPropertySet, DBPROPSET_DATASOURCEINFO);
  size_t bufferChars = 0;
  for (const PropertyDef& d : kTable) bufferChars += std::u16string(d.description).size() + 1;
  for (ULONG s = 0; s < count; ++s) {
    for (ULONG p = 0; p < sets[s].cPropertyInfos; ++p) {
      const DBPROPINFO& info = sets[s].rgPropertyInfos[p];
      EXPECT_GE(info.pwszDescription, desc);
      EXPECT_LT(info.pwszDescription, desc + bufferChars);
      EXPECT_EQ(info.vValues.vt, VT_EMPTY);
    }
  }
  const DBPROPINFO& timeout = sets[0].rgPropertyInfos[1];
  EXPECT_EQ(std::u16string(timeout.pwszDescription), u"Connect Timeout");
  EXPECT_EQ(timeout.vtType, VT_I4);
  EXPECT_EQ(timeout.dwFlags, kInitRW);
  EXPECT_EQ(sets[1].rgPropertyInfos[0].dwFlags & DBPROPFLAGS_WRITE, 0u);
  FreeInfo(sets, count, desc);
}

TEST(PropertyStoreTest, InfoMarksUnknownPropertiesNotSupported) {
  CPropertyStore store(kTable);
  DBPROPID ids[] = {DBPROP_INIT_TIMEOUT, 0x7777};
  DBPROPIDSET request{ids, 2, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPINFOSET* sets = nullptr;
  OLECHAR* desc = nullptr;
  ASSERT_EQ(store.GetPropertyInfo(1, &request, &count, &sets, &desc), DB_S_ERRORSOCCURRED);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].rgPropertyInfos[1].dwFlags, DBPROPFLAGS_NOTSUPPORTED);
  EXPECT_EQ(sets[0].rgPropertyInfos[1].pwszDescription, nullptr);
  FreeInfo(sets, count, desc);

  DBPROPIDSET unknownSet{nullptr, 0, DBPROPSET_ROWSET};
  ASSERT_EQ(store.GetPropertyInfo(1, &unknownSet, &count, &sets, &desc), DB_E_ERRORSOCCURRED);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].cPropertyInfos, 0u);
  FreeInfo(sets, count, desc);

  DBPROPIDSET group{nullptr, 0, DBPROPSET_DBINITALL};
  ASSERT_EQ(store.GetPropertyInfo(1, &group, &count, &sets, &desc), S_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].cPropertyInfos, 3u);
  FreeInfo(sets, count, desc);
}

TEST(PropertyStoreTest, GetPropertiesCopiesValuesAndFlagsUnknownOnes) {
  CPropertyStore store(kTable);
  DBPROPID one[] = {DBPROP_DBMSNAME};
  DBPROPIDSET request{one, 1, DBPROPSET_DATASOURCEINFO};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(store.GetProperties(1, &request, &count, &sets), S_OK);
  ASSERT_EQ(count, 1u);
  ASSERT_EQ(sets[0].cProperties, 1u);
  EXPECT_EQ(sets[0].rgProperties[0].dwStatus, DBPROPSTATUS_OK);
  ASSERT_EQ(sets[0].rgProperties[0].vValue.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(sets[0].rgProperties[0].vValue.bstrVal), u"TinyDB");
  FreeSets(sets, count);

  DBPROPID ids[] = {DBPROP_INIT_PROMPT, 0x7777};
  DBPROPIDSET mixed[] = {{ids, 2, DBPROPSET_DBINIT}, {nullptr, 0, DBPROPSET_SESSION}};
  ASSERT_EQ(store.GetProperties(2, mixed, &count, &sets), DB_S_ERRORSOCCURRED);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(sets[0].rgProperties[0].vValue.iVal, 4);
  EXPECT_EQ(sets[0].rgProperties[1].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  EXPECT_EQ(sets[1].cProperties, 0u);
  FreeSets(sets, count);

  DBPROPID unknown[] = {0x7777};
  DBPROPIDSET none{unknown, 1, DBPROPSET_DBINIT};
  ASSERT_EQ(store.GetProperties(1, &none, &count, &sets), DB_E_ERRORSOCCURRED);
  FreeSets(sets, count);
}

TEST(PropertyStoreTest, OptionalFailuresLeaveTheRestSet) {
  CPropertyStore store(kTable);
  DBPROP props[] = {
      Prop(DBPROP_INIT_TIMEOUT, Text(u"abc"), DBPROPOPTIONS_OPTIONAL),  // not a number
      Prop(DBPROP_INIT_DATASOURCE, Text(u"orders.db")),
      Prop(0x7777, I4(1), DBPROPOPTIONS_OPTIONAL),
      Prop(DBPROP_INIT_PROMPT, I4(2)),  // converted to the table's VT_I2
  };
  DBPROPSET set{props, 4, DBPROPSET_DBINIT};
  EXPECT_EQ(store.SetProperties(1, &set), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(props[0].dwStatus, DBPROPSTATUS_BADVALUE);
  EXPECT_EQ(props[1].dwStatus, DBPROPSTATUS_OK);
  EXPECT_EQ(props[2].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  EXPECT_EQ(props[3].dwStatus, DBPROPSTATUS_OK);
  EXPECT_EQ(store.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE), u"orders.db");
  EXPECT_EQ(store.Value(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT)->vt, VT_I2);
  EXPECT_EQ(store.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT), 2);
  EXPECT_EQ(store.Long(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT), 15);
  for (DBPROP& p : props) VariantClear(&p.vValue);
}

TEST(PropertyStoreTest, ARequiredFailureFailsTheCallAndSetsNothing) {
  CPropertyStore store(kTable);
  DBPROP props[] = {Prop(DBPROP_INIT_DATASOURCE, Text(u"x.db")), Prop(0x7777, I4(1))};
  DBPROPSET set{props, 2, DBPROPSET_DBINIT};
  EXPECT_EQ(store.SetProperties(1, &set), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(props[1].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  EXPECT_EQ(store.Value(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE)->vt, VT_EMPTY);

  DBPROP badOption = Prop(DBPROP_INIT_TIMEOUT, I4(5), 7);
  DBPROPSET optionSet{&badOption, 1, DBPROPSET_DBINIT};
  EXPECT_EQ(store.SetProperties(1, &optionSet), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(badOption.dwStatus, DBPROPSTATUS_BADOPTION);

  DBPROP wrongSet = Prop(DBPROP_INIT_TIMEOUT, I4(5));
  DBPROPSET rowset{&wrongSet, 1, DBPROPSET_ROWSET};
  EXPECT_EQ(store.SetProperties(1, &rowset), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(wrongSet.dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  for (DBPROP& p : props) VariantClear(&p.vValue);
  EXPECT_EQ(store.SetProperties(0, nullptr), S_OK);
}

TEST(PropertyStoreTest, ReadOnlyPropertiesAcceptOnlyTheirValue) {
  CPropertyStore store(kTable);
  DBPROP same = Prop(DBPROP_DBMSNAME, Text(u"TinyDB"));
  DBPROP other = Prop(DBPROP_DBMSNAME, Text(u"Other"), DBPROPOPTIONS_OPTIONAL);
  DBPROPSET sameSet{&same, 1, DBPROPSET_DATASOURCEINFO};
  DBPROPSET otherSet{&other, 1, DBPROPSET_DATASOURCEINFO};
  EXPECT_EQ(store.SetProperties(1, &sameSet), S_OK);
  EXPECT_EQ(store.SetProperties(1, &otherSet), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(other.dwStatus, DBPROPSTATUS_NOTSETTABLE);

  // An initialized data source: its init set turns read-only, info appears.
  store.SetReadOnlySets({DBPROPSET_DBINIT});
  DBPROP timeout = Prop(DBPROP_INIT_TIMEOUT, I4(99));
  DBPROPSET initSet{&timeout, 1, DBPROPSET_DBINIT};
  EXPECT_EQ(store.SetProperties(1, &initSet), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(timeout.dwStatus, DBPROPSTATUS_NOTSETTABLE);

  store.SetAvailableSets({DBPROPSET_DBINIT});
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(store.GetProperties(0, nullptr, &count, &sets), S_OK);
  EXPECT_EQ(count, 1u);
  FreeSets(sets, count);
  VariantClear(&same.vValue);
  VariantClear(&other.vValue);
}

TEST(PropertyStoreTest, CopiesAreIndependent) {
  CPropertyStore store(kTable);
  VARIANT v = Text(u"first.db");
  ASSERT_EQ(store.SetValue(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, v), S_OK);
  CPropertyStore copy(store);
  VARIANT w = Text(u"second.db");
  ASSERT_EQ(copy.SetValue(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, w), S_OK);
  EXPECT_EQ(store.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE), u"first.db");
  EXPECT_EQ(copy.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE), u"second.db");
  EXPECT_EQ(store.SetValue(DBPROPSET_DBINIT, 0x7777, v), DB_E_NOTFOUND);
  VariantClear(&v);
  VariantClear(&w);
}

TEST(PropertyStoreTest, TypedSettersConvertToTheTablesTypeAndRefuseUnknownProperties) {
  CPropertyStore store(kTable);
  // Read-only to clients, yet the provider publishes the value.
  ASSERT_EQ(store.SetText(DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME, u"Tiny \u00E9dition"), S_OK);
  EXPECT_EQ(store.Text(DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME), u"Tiny \u00E9dition");
  ASSERT_EQ(store.SetLong(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, 2), S_OK);  // an I2 property
  EXPECT_EQ(store.Value(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT)->vt, VT_I2);
  EXPECT_EQ(store.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT), 2);
  EXPECT_EQ(store.SetBool(DBPROPSET_DBINIT, 0x7777, true), DB_E_NOTFOUND);
  EXPECT_EQ(store.SetText(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, u"not a number"), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(store.Long(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT), 15);  // the failed set changed nothing
}

}  // namespace
