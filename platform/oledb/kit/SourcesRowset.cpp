#include "SourcesRowset.h"

#include "ColumnDesc.h"
#include "MemoryRowset.h"

namespace {

ColumnDesc Column(std::u16string name, DBTYPE type, DBLENGTH size, DBCOLUMNFLAGS flags) {
  ColumnDesc column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  column.flags = flags;
  return column;
}

std::vector<ColumnDesc> SourcesColumns() {
  constexpr DBLENGTH kNameLength = 128;
  constexpr DBCOLUMNFLAGS kFixed = DBCOLUMNFLAGS_ISFIXEDLENGTH;
  return {
      Column(u"SOURCES_NAME", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_PARSENAME", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_DESCRIPTION", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_TYPE", DBTYPE_UI2, sizeof(USHORT), kFixed),
      Column(u"SOURCES_ISPARENT", DBTYPE_BOOL, sizeof(VARIANT_BOOL), kFixed),
  };
}

}  // namespace

HRESULT CreateSourcesRowset(const std::vector<SourceRow>& rows, IUnknown* creator, REFCLSID enumerator,
                            std::u16string errorSource, REFIID riid, IUnknown** ppRowset) {
  std::vector<MemoryRow> memoryRows;
  memoryRows.reserve(rows.size());
  for (const auto& row : rows)
    memoryRows.push_back({NativeValue::Text(row.name), NativeValue::Text(row.parseName),
                          NativeValue::Text(row.description), NativeValue::Integer(row.type),
                          NativeValue::Integer(row.isParent ? 1 : 0)});
  return CreateMemoryRowset(SourcesColumns(), std::move(memoryRows), creator, enumerator, std::move(errorSource),
                            riid, ppRowset);
}
