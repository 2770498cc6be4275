// The owners of provider-returned property arrays: every value of every set
// is cleared exactly once, whichever way the owner is left (destruction,
// a new call through the out-parameters, a move), and nothing that was
// handed over is touched again.
#include <gtest/gtest.h>

#include <cstring>

#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "objbase.h"
#include "oleauto.h"
#include "oledb.h"

namespace {

// A value whose clearing can be counted: VariantClear releases it.
class CountedValue : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 0;
};

template <class T>
T* TaskArray(ULONG count) {
  auto* p = static_cast<T*>(CoTaskMemAlloc(count * sizeof(T)));
  std::memset(static_cast<void*>(p), 0, count * sizeof(T));
  return p;
}

VARIANT Holding(CountedValue& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UNKNOWN;
  v.punkVal = &value;
  value.AddRef();
  return v;
}

// What a provider hands back: `sets` sets of `perSet` properties, each
// holding a reference to `value`.
DBPROPSET* ProviderSets(ULONG sets, ULONG perSet, CountedValue& value) {
  auto* result = TaskArray<DBPROPSET>(sets);
  for (ULONG s = 0; s < sets; ++s) {
    result[s].guidPropertySet = s % 2 ? DBPROPSET_ROWSET : DBPROPSET_DBINIT;
    result[s].cProperties = perSet;
    result[s].rgProperties = TaskArray<DBPROP>(perSet);
    for (ULONG p = 0; p < perSet; ++p) result[s].rgProperties[p].vValue = Holding(value);
  }
  return result;
}

DBPROPINFOSET* ProviderInfoSets(ULONG sets, ULONG perSet, CountedValue& value, OLECHAR** descriptions) {
  auto* result = TaskArray<DBPROPINFOSET>(sets);
  for (ULONG s = 0; s < sets; ++s) {
    result[s].cPropertyInfos = perSet;
    result[s].rgPropertyInfos = TaskArray<DBPROPINFO>(perSet);
    for (ULONG p = 0; p < perSet; ++p) result[s].rgPropertyInfos[p].vValues = Holding(value);
  }
  *descriptions = TaskArray<OLECHAR>(16);
  return result;
}

TEST(PropertySetArrayTest, ClearsEveryValueOfEverySetOnceWhenLeft) {
  CountedValue value;
  {
    CPropertySetArray sets(3, ProviderSets(3, 2, value));
    EXPECT_EQ(sets.Count(), 3u);
    EXPECT_EQ(value.references, 6u);
    ULONG seen = 0;
    for (const DBPROPSET& set : sets) seen += set.cProperties;
    EXPECT_EQ(seen, 6u);
  }
  EXPECT_EQ(value.references, 0u);
}

TEST(PropertySetArrayTest, TakingTheOutParametersAgainFreesTheEarlierResultFirst) {
  CountedValue first;
  CountedValue second;
  CPropertySetArray sets(2, ProviderSets(2, 1, first));
  // As a second GetProperties call through the same owner would fill them.
  ULONG* count = sets.CountOut();
  DBPROPSET** array = sets.SetsOut();
  EXPECT_EQ(first.references, 0u);
  EXPECT_EQ(sets.Count(), 0u);
  *array = ProviderSets(1, 3, second);
  *count = 1;
  EXPECT_EQ(sets.Count(), 1u);
  sets.Reset();
  EXPECT_EQ(second.references, 0u);
  sets.Reset();  // twice is harmless
}

TEST(PropertySetArrayTest, ACountWithoutAnArrayHoldsNothing) {
  CPropertySetArray sets;
  *sets.CountOut() = 4;  // a provider that failed but left a count behind
  EXPECT_EQ(sets.Count(), 0u);
  EXPECT_EQ(sets.begin(), sets.end());
}

TEST(PropertySetArrayTest, DetachedAndMovedArraysAreFreedOnlyByTheirNewOwner) {
  CountedValue value;
  CPropertySetArray original(2, ProviderSets(2, 2, value));
  CPropertySetArray moved(std::move(original));
  EXPECT_EQ(original.Count(), 0u);
  EXPECT_EQ(moved.Count(), 2u);
  CPropertySetArray assigned;
  assigned = std::move(moved);
  EXPECT_EQ(value.references, 4u);
  ULONG count = 0;
  DBPROPSET* handed = assigned.Detach(&count);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(value.references, 4u);
  CPropertySetArray adopter(count, handed);
  adopter.Reset();
  EXPECT_EQ(value.references, 0u);
}

TEST(PropertySetArrayTest, ClearingOneCallerBuiltSetLeavesItEmpty) {
  CountedValue value;
  DBPROPSET set{};
  set.cProperties = 2;
  set.rgProperties = TaskArray<DBPROP>(2);
  set.rgProperties[0].vValue = Holding(value);
  set.rgProperties[1].vValue = Holding(value);
  CPropertySetArray::ClearSet(set);
  EXPECT_EQ(value.references, 0u);
  EXPECT_EQ(set.rgProperties, nullptr);
  EXPECT_EQ(set.cProperties, 0u);
}

TEST(PropertyInfoSetArrayTest, ClearsEveryValueListAndFreesTheDescriptions) {
  CountedValue value;
  {
    CPropertyInfoSetArray info;
    OLECHAR* descriptions = nullptr;
    DBPROPINFOSET* sets = ProviderInfoSets(3, 2, value, &descriptions);
    info = CPropertyInfoSetArray(3, sets, descriptions);
    EXPECT_EQ(info.Count(), 3u);
    EXPECT_EQ(info.Descriptions(), descriptions);
    EXPECT_EQ(value.references, 6u);
    // A second call through the same owner frees the first result.
    ULONG* count = info.CountOut();
    DBPROPINFOSET** setsOut = info.SetsOut();
    OLECHAR** buffer = info.DescriptionsOut();
    EXPECT_EQ(value.references, 0u);
    *setsOut = ProviderInfoSets(1, 1, value, buffer);
    *count = 1;
    EXPECT_EQ(info.Count(), 1u);
  }
  EXPECT_EQ(value.references, 0u);
}

TEST(PropertyInfoSetArrayTest, DetachHandsOverSetsAndDescriptions) {
  CountedValue value;
  OLECHAR* descriptions = nullptr;
  DBPROPINFOSET* sets = ProviderInfoSets(2, 1, value, &descriptions);
  CPropertyInfoSetArray info(2, sets, descriptions);
  ULONG count = 0;
  OLECHAR* handedDescriptions = nullptr;
  DBPROPINFOSET* handed = info.Detach(&count, &handedDescriptions);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(handedDescriptions, descriptions);
  info.Reset();
  EXPECT_EQ(value.references, 2u);
  CPropertyInfoSetArray adopter(count, handed, handedDescriptions);
  adopter.Reset();
  EXPECT_EQ(value.references, 0u);
}

}  // namespace
