// Properties the data source describes but sessions and rowsets hold: the
// data source lists them and answers their values as not supported.
#include <gtest/gtest.h>

#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"

namespace {

class SqliteDataSourceProperties : public testing::Test {
 protected:
  ComApartment m_apartment;
};

bool Lists(IDBProperties* properties, REFGUID wanted) {
  CPropertyInfoSetArray info;
  if (FAILED(properties->GetPropertyInfo(0, nullptr, info.CountOut(), info.SetsOut(), info.DescriptionsOut())))
    return false;
  for (const DBPROPINFOSET& set : info)
    if (set.guidPropertySet == wanted && set.cPropertyInfos > 0) return true;
  return false;
}

TEST_F(SqliteDataSourceProperties, SessionAndRowsetSetsAreDescribedButTheirValuesAreNotSupported) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  ASSERT_TRUE(init);
  auto properties = init.As<IDBProperties>();
  EXPECT_TRUE(Lists(properties.Get(), DBPROPSET_ROWSET));
  EXPECT_TRUE(Lists(properties.Get(), DBPROPSET_SESSION));

  DBPROPID rowsetId = DBPROP_IRowset;
  DBPROPIDSET rowset{&rowsetId, 1, DBPROPSET_ROWSET};
  CPropertySetArray sets;
  EXPECT_EQ(properties->GetProperties(1, &rowset, sets.CountOut(), sets.SetsOut()), DB_E_ERRORSOCCURRED);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_EQ(sets[0].rgProperties[0].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  EXPECT_EQ(sets[0].rgProperties[0].vValue.vt, VT_EMPTY);

  DBPROPID nameId = DBPROP_DBMSNAME;
  DBPROPIDSET mixed[] = {{&nameId, 1, DBPROPSET_DATASOURCEINFO}, {nullptr, 0, DBPROPSET_SESSION}};
  EXPECT_EQ(properties->GetProperties(2, mixed, sets.CountOut(), sets.SetsOut()), DB_S_ERRORSOCCURRED);
  ASSERT_EQ(sets.Count(), 2u);
  EXPECT_EQ(sets[0].rgProperties[0].dwStatus, DBPROPSTATUS_OK);
  ASSERT_GT(sets[1].cProperties, 0u);
  EXPECT_EQ(sets[1].rgProperties[0].dwStatus, DBPROPSTATUS_NOTSUPPORTED);

  // Asked for everything, the data source answers what it holds, all OK.
  EXPECT_EQ(properties->GetProperties(0, nullptr, sets.CountOut(), sets.SetsOut()), S_OK);
  for (const DBPROPSET& set : sets) {
    EXPECT_FALSE(set.guidPropertySet == DBPROPSET_ROWSET || set.guidPropertySet == DBPROPSET_SESSION);
    for (ULONG i = 0; i < set.cProperties; ++i) EXPECT_EQ(set.rgProperties[i].dwStatus, DBPROPSTATUS_OK);
  }
}

}  // namespace
