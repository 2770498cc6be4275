// Which rowset properties count as required: only those in the rowset set
// that the store accepted, the latest setting winning; and changes asked
// for as required through either property.
#include <gtest/gtest.h>

#include "PropertyTable.h"
#include "RequiredRowsetProperties.h"
#include "objbase.h"
#include "oleauto.h"

namespace {

constexpr DBPROPFLAGS kRowsetRW = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;

constexpr PropertyDef kTable[] = {
    {&DBPROPSET_ROWSET, DBPROP_IRowsetChange, VT_BOOL, kRowsetRW, {VT_BOOL, 0, nullptr}, u"IRowsetChange"},
    {&DBPROPSET_ROWSET, DBPROP_UPDATABILITY, VT_I4, kRowsetRW, {VT_I4, 0, nullptr}, u"Updatability"},
    {&DBPROPSET_ROWSET, DBPROP_BOOKMARKS, VT_BOOL, kRowsetRW, {VT_BOOL, 0, nullptr}, u"Use Bookmarks"},
};

DBPROP Prop(DBPROPID id, VARTYPE vt, LONG value, DBPROPOPTIONS options) {
  DBPROP p{};
  p.dwPropertyID = id;
  p.dwOptions = options;
  p.vValue.vt = vt;
  if (vt == VT_BOOL)
    p.vValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  else
    p.vValue.lVal = value;
  return p;
}

// Sets `props` in the rowset set of `store` and notes them, as a rowset's
// properties are read.
void Apply(CPropertyStore& store, RequiredRowsetProperties& required, DBPROP* props, ULONG count,
           REFGUID set = DBPROPSET_ROWSET) {
  DBPROPSET sets{props, count, set};
  store.SetProperties(1, &sets);
  required.Note(1, &sets);
}

TEST(RequiredRowsetPropertiesTest, OnlyAcceptedRowsetPropertiesCountAndTheLatestSettingWins) {
  CPropertyStore store(kTable);
  RequiredRowsetProperties required;
  DBPROP props[] = {Prop(DBPROP_BOOKMARKS, VT_BOOL, 1, DBPROPOPTIONS_REQUIRED),
                    Prop(DBPROP_IRowsetLocate, VT_BOOL, 1, DBPROPOPTIONS_REQUIRED),  // not in the table
                    Prop(DBPROP_UPDATABILITY, VT_I4, 1, DBPROPOPTIONS_OPTIONAL)};
  Apply(store, required, props, 3);
  EXPECT_TRUE(required.Required(DBPROP_BOOKMARKS));
  EXPECT_FALSE(required.Required(DBPROP_IRowsetLocate));
  EXPECT_FALSE(required.Required(DBPROP_UPDATABILITY));
  EXPECT_FALSE(required.Required(DBPROP_IRowsetChange));  // never set

  DBPROP again[] = {Prop(DBPROP_BOOKMARKS, VT_BOOL, 1, DBPROPOPTIONS_OPTIONAL)};
  Apply(store, required, again, 1);
  EXPECT_FALSE(required.Required(DBPROP_BOOKMARKS));

  // The same property ids in another set are not the rowset's.
  DBPROP other[] = {Prop(DBPROP_BOOKMARKS, VT_BOOL, 1, DBPROPOPTIONS_REQUIRED)};
  DBPROPSET sets{other, 1, DBPROPSET_SESSION};
  other[0].dwStatus = DBPROPSTATUS_OK;
  required.Note(1, &sets);
  EXPECT_FALSE(required.Required(DBPROP_BOOKMARKS));
  required.Note(1, nullptr);  // nothing to note, nothing changes
  EXPECT_FALSE(required.Required(DBPROP_BOOKMARKS));
}

TEST(RequiredRowsetPropertiesTest, ChangesAreRequiredOnlyWhenAskedForAsRequired) {
  {
    CPropertyStore store(kTable);
    RequiredRowsetProperties required;
    DBPROP props[] = {Prop(DBPROP_IRowsetChange, VT_BOOL, 1, DBPROPOPTIONS_OPTIONAL)};
    Apply(store, required, props, 1);
    EXPECT_FALSE(required.RequiresChange(store));
  }
  {
    CPropertyStore store(kTable);
    RequiredRowsetProperties required;
    DBPROP props[] = {Prop(DBPROP_IRowsetChange, VT_BOOL, 1, DBPROPOPTIONS_REQUIRED)};
    Apply(store, required, props, 1);
    EXPECT_TRUE(required.RequiresChange(store));
  }
  {
    CPropertyStore store(kTable);
    RequiredRowsetProperties required;
    DBPROP props[] = {Prop(DBPROP_UPDATABILITY, VT_I4, DBPROPVAL_UP_CHANGE, DBPROPOPTIONS_REQUIRED)};
    Apply(store, required, props, 1);
    EXPECT_TRUE(required.RequiresChange(store));
  }
  {
    CPropertyStore store(kTable);
    RequiredRowsetProperties required;
    DBPROP props[] = {Prop(DBPROP_IRowsetChange, VT_BOOL, 0, DBPROPOPTIONS_REQUIRED)};  // required off
    Apply(store, required, props, 1);
    EXPECT_FALSE(required.RequiresChange(store));
  }
}

}  // namespace
