// A provider for the Schema Viewer and Properties Browser tests, laid over a
// real SQLite data source, that misbehaves in ways a real provider may: it
// offers a schema outside the standard ones, a schema whose rowset has a
// bookmark column and no IRowset, property sets the browser does not know
// or gets twice, and a property that comes back in error with a stray value.
#pragma once

#include <string>
#include <vector>

#include "ComPtr.h"
#include "oledb.h"

// {7A3C1E55-2B4D-4F6A-8C1E-5D9B0A7F3E21}: three columns, restrictions 0 and 2 supported.
inline constexpr GUID kCustomSchema = {0x7A3C1E55, 0x2B4D, 0x4F6A, {0x8C, 0x1E, 0x5D, 0x9B, 0x0A, 0x7F, 0x3E, 0x21}};
// {7A3C1E56-2B4D-4F6A-8C1E-5D9B0A7F3E21}: a bookmark and two columns, restrictions 0 and 1.
inline constexpr GUID kBookmarkSchema = {0x7A3C1E56, 0x2B4D, 0x4F6A, {0x8C, 0x1E, 0x5D, 0x9B, 0x0A, 0x7F, 0x3E, 0x21}};
// {7A3C1E57-2B4D-4F6A-8C1E-5D9B0A7F3E21}: a property set no table names.
inline constexpr GUID kCustomPropSet = {0x7A3C1E57, 0x2B4D, 0x4F6A, {0x8C, 0x1E, 0x5D, 0x9B, 0x0A, 0x7F, 0x3E, 0x21}};

struct BrowsingProviderScript {
  // What GetRowset of the custom schema was given: the count and each
  // value as text ("" for VT_EMPTY).
  std::vector<std::vector<std::string>> customRestrictions;
};

// The test provider over `inner` (initialized). `script` must outlive it.
ComPtr<IDBInitialize> CreateBrowsingTestProvider(IDBInitialize* inner, BrowsingProviderScript& script);
