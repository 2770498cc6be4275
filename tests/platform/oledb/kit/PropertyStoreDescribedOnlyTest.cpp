// Sets an object describes but does not hold: listed by GetPropertyInfo,
// answered DBPROPSTATUS_NOTSUPPORTED by GetProperties and SetProperties,
// with the return code that says how many failed.
#include <gtest/gtest.h>

#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "PropertyTable.h"
#include "oleauto.h"

namespace {

constexpr DBPROPFLAGS kInit = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;
constexpr DBPROPFLAGS kRowset = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;

constexpr PropertyDef kTable[] = {
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, {VT_I4, 15, nullptr}, u"Connect Timeout"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetChange, VT_BOOL, kRowset, {VT_BOOL, 1, nullptr}, u"IRowsetChange"},
    {&DBPROPSET_ROWSET, DBPROP_UPDATABILITY, VT_I4, kRowset, {VT_I4, 0, nullptr}, u"Updatability"},
};

class DescribedOnlyTest : public testing::Test {
 protected:
  void SetUp() override { store.SetDescribedOnlySets({DBPROPSET_ROWSET}); }
  CPropertyStore store{kTable};
};

TEST_F(DescribedOnlyTest, InformationStillListsTheSet) {
  CPropertyInfoSetArray info;
  ASSERT_EQ(store.GetPropertyInfo(0, nullptr, info.CountOut(), info.SetsOut(), info.DescriptionsOut()), S_OK);
  ASSERT_EQ(info.Count(), 2u);
  EXPECT_TRUE(info[1].guidPropertySet == DBPROPSET_ROWSET);
  EXPECT_EQ(info[1].cPropertyInfos, 2u);
}

TEST_F(DescribedOnlyTest, ValuesAreNotSupportedAndTheCodeCountsThem) {
  DBPROPID rowsetIds[] = {DBPROP_IRowsetChange, DBPROP_UPDATABILITY};
  DBPROPID initIds[] = {DBPROP_INIT_TIMEOUT};
  DBPROPIDSET onlyRowset{rowsetIds, 2, DBPROPSET_ROWSET};
  CPropertySetArray sets;
  EXPECT_EQ(store.GetProperties(1, &onlyRowset, sets.CountOut(), sets.SetsOut()), DB_E_ERRORSOCCURRED);
  ASSERT_EQ(sets.Count(), 1u);
  for (ULONG i = 0; i < 2; ++i) {
    EXPECT_EQ(sets[0].rgProperties[i].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
    EXPECT_EQ(sets[0].rgProperties[i].vValue.vt, VT_EMPTY);
  }
  DBPROPIDSET mixed[] = {{initIds, 1, DBPROPSET_DBINIT}, onlyRowset};
  EXPECT_EQ(store.GetProperties(2, mixed, sets.CountOut(), sets.SetsOut()), DB_S_ERRORSOCCURRED);
  ASSERT_EQ(sets.Count(), 2u);
  EXPECT_EQ(sets[0].rgProperties[0].dwStatus, DBPROPSTATUS_OK);
  EXPECT_EQ(sets[0].rgProperties[0].vValue.lVal, 15);
  // The whole set asked by name, too.
  DBPROPIDSET wholeRowset{nullptr, 0, DBPROPSET_ROWSET};
  EXPECT_EQ(store.GetProperties(1, &wholeRowset, sets.CountOut(), sets.SetsOut()), DB_E_ERRORSOCCURRED);
}

TEST_F(DescribedOnlyTest, EverythingMeansEverythingHeld) {
  CPropertySetArray sets;
  EXPECT_EQ(store.GetProperties(0, nullptr, sets.CountOut(), sets.SetsOut()), S_OK);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_TRUE(sets[0].guidPropertySet == DBPROPSET_DBINIT);
}

TEST_F(DescribedOnlyTest, SettingIsNotSupported) {
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_UPDATABILITY;
  prop.dwOptions = DBPROPOPTIONS_REQUIRED;
  prop.colid = DB_NULLID;
  VariantInit(&prop.vValue);
  prop.vValue.vt = VT_I4;
  prop.vValue.lVal = 1;
  DBPROPSET set{&prop, 1, DBPROPSET_ROWSET};
  EXPECT_EQ(store.SetProperties(1, &set), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(prop.dwStatus, DBPROPSTATUS_NOTSUPPORTED);
}

}  // namespace
