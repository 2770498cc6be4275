// The sources rowset an enumerator returns from ISourcesRowset, with the
// standard columns in their standard order.
#pragma once

#include <string>
#include <vector>

#include "oledb.h"

struct SourceRow {
  std::string name;
  std::string parseName;
  std::string description;
  DBSOURCETYPE type = DBSOURCETYPE_DATASOURCE_TDP;
  bool isParent = false;
};

HRESULT CreateSourcesRowset(const std::vector<SourceRow>& rows, IUnknown* creator, REFCLSID enumerator,
                            std::u16string errorSource, REFIID riid, IUnknown** ppRowset);
