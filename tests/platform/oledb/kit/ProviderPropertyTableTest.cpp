// A provider's property table joined from its own entries and the kit's
// standard ones: sets stay together, a repeated property takes the later
// default, and the standard parts are well formed.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "PropertyShorthands.h"
#include "ProviderPropertyTable.h"
#include "StandardProperties.h"

namespace {

using namespace prop;

const PropertyDef kOwnInit[] = {
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInit, None(), u"Data Source"},
};
const PropertyDef kOwnMixed[] = {
    {&DBPROPSET_SESSION, DBPROP_SESS_AUTOCOMMITISOLEVELS, VT_I4, kSession, I4(1), u"Autocommit Isolation Levels"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, I4(5), u"Connect Timeout"},
    // Overrides the standard default.
    {&DBPROPSET_ROWSET, DBPROP_CANHOLDROWS, VT_BOOL, kRowRead, Bool(false), u"Hold Rows"},
};

TEST(ProviderPropertyTableTest, SetsStayTogetherInTheOrderTheyFirstAppear) {
  CProviderPropertyTable table({kOwnInit, StandardRowsetProperties(), kOwnMixed});
  std::vector<const GUID*> order;
  for (const PropertyDef& d : table.All())
    if (order.empty() || *order.back() != *d.set) order.push_back(d.set);
  ASSERT_EQ(order.size(), 3u);  // DBINIT, ROWSET, SESSION: each once
  EXPECT_EQ(*order[0], DBPROPSET_DBINIT);
  EXPECT_EQ(*order[1], DBPROPSET_ROWSET);
  EXPECT_EQ(*order[2], DBPROPSET_SESSION);

  auto init = table.Set(DBPROPSET_DBINIT);
  ASSERT_EQ(init.size(), 2u);
  EXPECT_EQ(init[0].id, DBPROP_INIT_DATASOURCE);
  EXPECT_EQ(init[1].id, DBPROP_INIT_TIMEOUT);
  EXPECT_EQ(table.Set(DBPROPSET_ROWSET).size(), StandardRowsetProperties().size());
  EXPECT_EQ(table.Set(DBPROPSET_SESSION).size(), 1u);
  EXPECT_TRUE(table.Set(DBPROPSET_DATASOURCEINFO).empty());
  EXPECT_EQ(table.All().size(), 3 + StandardRowsetProperties().size());
}

TEST(ProviderPropertyTableTest, ALaterEntryGivesAStandardPropertyItsOwnDefault) {
  CProviderPropertyTable table({StandardRowsetProperties(), kOwnMixed});
  CPropertyStore store(table.Set(DBPROPSET_ROWSET));
  EXPECT_FALSE(store.Bool(DBPROPSET_ROWSET, DBPROP_CANHOLDROWS));
  EXPECT_TRUE(store.Bool(DBPROPSET_ROWSET, DBPROP_IAccessor));
  // Replaced where it stood, not added again.
  size_t holds = 0;
  for (const PropertyDef& d : table.All()) holds += d.id == DBPROP_CANHOLDROWS && *d.set == DBPROPSET_ROWSET;
  EXPECT_EQ(holds, 1u);
}

TEST(ProviderPropertyTableTest, StandardPartsBelongToTheirSetAndNameEachPropertyOnce) {
  const std::pair<std::span<const PropertyDef>, DBPROPFLAGS> parts[] = {
      {StandardDataSourceInfoProperties(), DBPROPFLAGS_DATASOURCEINFO},
      {StandardRowsetProperties(), DBPROPFLAGS_ROWSET}};
  for (const auto& [part, group] : parts) {
    std::set<DBPROPID> ids;
    for (const PropertyDef& d : part) {
      EXPECT_TRUE(d.flags & group) << d.id;
      EXPECT_TRUE(d.flags & DBPROPFLAGS_READ) << d.id;
      EXPECT_NE(d.description, nullptr) << d.id;
      EXPECT_TRUE(ids.insert(d.id).second) << "property " << d.id << " is listed twice";
    }
  }
  // Data source information is read-only to clients.
  for (const PropertyDef& d : StandardDataSourceInfoProperties()) EXPECT_FALSE(d.flags & DBPROPFLAGS_WRITE) << d.id;
}

}  // namespace
