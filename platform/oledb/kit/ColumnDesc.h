// Description of one rowset column, shared by the kit's rowsets, columns
// information and columns rowsets.
#pragma once

#include <string>
#include <vector>

#include "oledb.h"

struct ColumnDesc {
  std::u16string name;
  DBTYPE type = DBTYPE_WSTR;
  DBLENGTH size = ~DBLENGTH{0};  // all ones: no declared length
  DBCOLUMNFLAGS flags = 0;
  BYTE precision = 0xFF;
  BYTE scale = 0xFF;
  // Extra facts a columns rowset reports; empty when unknown.
  std::u16string baseTable;
  std::u16string baseColumn;
  bool isKey = false;
  bool isAutoIncrement = false;
  std::u16string defaultValue;
  // A fixed column id (the DBCOLUMN_ ids of a columns rowset) reported and
  // matched instead of the name; null for columns known by name.
  const DBID* columnId = nullptr;
};

// MapColumnIDs' answer for an id that names no column.
inline constexpr DBORDINAL DB_INVALIDCOLUMN = 0xFFFFFFFF;

// GetColumnInfo's answer: one DBCOLUMNINFO per column (a bookmark column
// first, ordinal 0, when hasBookmark), names in one task-allocated buffer.
HRESULT FillColumnInfo(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                       DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo, OLECHAR** ppStringsBuffer);

// MapColumnIDs by name (DBKIND_NAME and friends) or bookmark id.
HRESULT MapColumnIDs(const std::vector<ColumnDesc>& columns, bool hasBookmark, DBORDINAL cColumnIDs,
                     const DBID rgColumnIDs[], DBORDINAL rgColumns[]);

// IColumnsRowset: the standard columns rowset (DBCOLUMN_IDNAME ... in their
// usual order) describing `columns`, as an in-memory rowset.
HRESULT GetAvailableColumnsRowsetColumns(DBORDINAL* pcOptColumns, DBID** prgOptColumns);
// Every available column (what GetColumnsRowset gives for no optional columns).
HRESULT CreateColumnsRowset(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                            IUnknown* pCreator, REFIID riid, IUnknown** ppColRowset);
// The required columns and the optional ones asked for, in the order asked;
// an id the kit cannot fill gives DB_E_BADCOLUMNID. providerClsid and
// errorSource name the provider in the rowset's error records.
HRESULT CreateColumnsRowset(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                            DBORDINAL cOptColumns, const DBID rgOptColumns[],
                            IUnknown* pCreator, REFCLSID providerClsid,
                            std::u16string errorSource, REFIID riid, IUnknown** ppColRowset);
