// A read-only rowset over rows held in memory: schema rowsets, sources
// rowsets and columns rowsets. Safe to read from any thread.
#pragma once

#include <vector>

#include "ColumnDesc.h"
#include "NativeValue.h"
#include "oledb.h"

using MemoryRow = std::vector<NativeValue>;

// Gives IRowset and the kit's rowset base interfaces (accessors, column and
// rowset information, columns rowset, IConvertType, ISupportErrorInfo).
// pCreator (may be null) is what IRowsetInfo::GetSpecification returns;
// errorSource names the provider in error records.
HRESULT CreateMemoryRowset(std::vector<ColumnDesc> columns, std::vector<MemoryRow> rows,
                           IUnknown* pCreator, REFCLSID providerClsid,
                           std::u16string errorSource, REFIID riid, IUnknown** ppRowset);
