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
};

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
HRESULT CreateColumnsRowset(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                            IUnknown* pSpecification, REFIID riid, IUnknown** ppColRowset);
