// The rowset properties the Command Processor asks for, and when a refusal
// means only that the rows cannot be changed.
#include <gtest/gtest.h>

#include "CommandRowsetProperties.h"
#include "ReleasePropertySet.h"

namespace {

struct Expected {
  DBPROPID id;
  DBPROPOPTIONS options;
  VARTYPE type;
  LONG value;  // VARIANT_TRUE / VARIANT_FALSE for booleans
};

void ExpectSet(const DBPROPSET& set, const std::vector<Expected>& expected) {
  EXPECT_EQ(set.guidPropertySet, DBPROPSET_ROWSET);
  ASSERT_EQ(set.cProperties, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const DBPROP& p = set.rgProperties[i];
    EXPECT_EQ(p.dwPropertyID, expected[i].id) << i;
    EXPECT_EQ(p.dwOptions, expected[i].options) << i;
    EXPECT_EQ(p.colid.eKind, DB_NULLID.eKind) << i;
    ASSERT_EQ(p.vValue.vt, expected[i].type) << i;
    EXPECT_EQ(p.vValue.vt == VT_BOOL ? p.vValue.boolVal : p.vValue.lVal, expected[i].value) << i;
  }
}

TEST(CommandRowsetProperties, UpdatableAsksForChangesPositionsAndErrorInfoAllRequired) {
  DBPROPSET set = UpdatableRowsetProperties();
  ExpectSet(set, {{DBPROP_IRowsetChange, DBPROPOPTIONS_REQUIRED, VT_BOOL, VARIANT_TRUE},
                  {DBPROP_UPDATABILITY, DBPROPOPTIONS_REQUIRED, VT_I4, 7},
                  {DBPROP_ISupportErrorInfo, DBPROPOPTIONS_REQUIRED, VT_BOOL, VARIANT_TRUE},
                  {DBPROP_IRowsetLocate, DBPROPOPTIONS_REQUIRED, VT_BOOL, VARIANT_TRUE}});
  ReleasePropertySet(set);
}

TEST(CommandRowsetProperties, ReadOnlyTurnsChangesOffButKeepsPositions) {
  DBPROPSET set = ReadOnlyRowsetProperties();
  ExpectSet(set, {{DBPROP_IRowsetChange, DBPROPOPTIONS_OPTIONAL, VT_BOOL, VARIANT_FALSE},
                  {DBPROP_UPDATABILITY, DBPROPOPTIONS_OPTIONAL, VT_I4, 0},
                  {DBPROP_ISupportErrorInfo, DBPROPOPTIONS_REQUIRED, VT_BOOL, VARIANT_TRUE},
                  {DBPROP_IRowsetLocate, DBPROPOPTIONS_REQUIRED, VT_BOOL, VARIANT_TRUE}});
  ReleasePropertySet(set);
}

TEST(CommandRowsetProperties, OnlyARefusalOfChangingAloneAllowsTheReadOnlyRun) {
  const auto refused = [](std::initializer_list<DBPROPID> ids) {
    DBPROPSET set = UpdatableRowsetProperties();
    for (ULONG i = 0; i < set.cProperties; ++i)
      for (DBPROPID id : ids)
        if (set.rgProperties[i].dwPropertyID == id) set.rgProperties[i].dwStatus = DBPROPSTATUS_NOTSETTABLE;
    const bool only = OnlyChangingRefused(set);
    ReleasePropertySet(set);
    return only;
  };
  EXPECT_TRUE(refused({DBPROP_IRowsetChange}));
  EXPECT_TRUE(refused({DBPROP_IRowsetChange, DBPROP_UPDATABILITY}));
  EXPECT_FALSE(refused({}));
  EXPECT_FALSE(refused({DBPROP_IRowsetChange, DBPROP_IRowsetLocate}));
  EXPECT_FALSE(refused({DBPROP_ISupportErrorInfo}));
}

}  // namespace
