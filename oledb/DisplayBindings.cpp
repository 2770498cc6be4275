#include "DisplayBindings.h"

#include <cstdint>

#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr LONG kUnknownTypeCharacters = 255;
constexpr int kPixelsPerCharacter = 6;
constexpr int kCellPadding = 12;
constexpr int kHeadingPadding = 13;

bool IsNeverShown(const DBCOLUMNINFO& column) { return column.iOrdinal == 0 || column.wType == DBTYPE_IUNKNOWN; }

LONG CharactersOfType(const DBCOLUMNINFO& column) {
  switch (column.wType) {
    case DBTYPE_EMPTY: case DBTYPE_NULL: case DBTYPE_I1: case DBTYPE_UI1: return 3;
    case DBTYPE_I2: case DBTYPE_BOOL: case DBTYPE_UI2: return 5;
    case DBTYPE_I4: case DBTYPE_CY: case DBTYPE_UI4: return 10;
    case DBTYPE_R4: case DBTYPE_I8: case DBTYPE_UI8: return 20;
    case DBTYPE_R8: case DBTYPE_ERROR: return 25;
    case DBTYPE_DATE: case DBTYPE_DECIMAL: case DBTYPE_GUID: case DBTYPE_NUMERIC: case DBTYPE_DBDATE:
    case DBTYPE_DBTIMESTAMP: return 50;
    // Sizes are unsigned; all bits set (unlimited text) reads as -1.
    case DBTYPE_BSTR: case DBTYPE_STR: case DBTYPE_WSTR: return static_cast<LONG>(column.ulColumnSize);
    case DBTYPE_BYTES: return static_cast<LONG>(2 * column.ulColumnSize);
    default: return kUnknownTypeCharacters;
  }
}

DBBINDING* NewBindings(const std::vector<DisplayColumn>& shown) {
  auto* bindings = static_cast<DBBINDING*>(CoTaskMemAlloc((shown.empty() ? 1 : shown.size()) * sizeof(DBBINDING)));
  if (!bindings) return nullptr;
  for (size_t i = 0; i < shown.size(); ++i) {
    DBBINDING& binding = bindings[i];
    binding = DBBINDING{};
    binding.iOrdinal = shown[i].ordinal;
    binding.obValue = static_cast<DBBYTEOFFSET>(sizeof(char*) * i);
    binding.dwPart = DBPART_VALUE;
    binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    binding.eParamIO = DBPARAMIO_NOTPARAM;
    binding.cbMaxLen = sizeof(char*);
    binding.wType = DBTYPE_STR | DBTYPE_BYREF;
  }
  return bindings;
}

void InsertListColumns(CListCtrl& list, const std::vector<DisplayColumn>& shown) {
  for (size_t i = 0; i < shown.size(); ++i) {
    const DisplayColumn& column = shown[i];
    const int width = DisplayColumnWidth(column.characters, list.GetStringWidth(column.heading.c_str()));
    list.InsertColumn(static_cast<int>(i), column.heading.c_str(), column.format, width);
  }
}

}  // namespace

DisplayBindings::~DisplayBindings() { Clear(); }

void DisplayBindings::Adopt(DBBINDING* bindings, DBCOUNTITEM count) {
  Clear();
  m_rgBindings = bindings;
  m_cColumns = count;
  m_cbRowSize = static_cast<DBLENGTH>(sizeof(char*) * count);
}

void DisplayBindings::Clear() {
  CoTaskMemFree(m_rgBindings);
  m_rgBindings = nullptr;
  m_cColumns = 0;
  m_cbRowSize = 0;
}

LONG DisplayCharacters(const DBCOLUMNINFO& column, int maxChars) {
  const LONG characters = CharactersOfType(column);
  return characters > maxChars ? maxChars : characters;
}

int DisplayColumnWidth(LONG characters, int headingWidth) {
  // 64-bit: a negative count from a huge declared size must not overflow.
  const int64_t width = int64_t{kPixelsPerCharacter} * characters + kCellPadding;
  const int64_t heading = int64_t{headingWidth} + kHeadingPadding;
  return static_cast<int>(heading > width ? heading : width);
}

std::vector<DisplayColumn> ChooseDisplayColumns(const DBCOLUMNINFO* columns, DBORDINAL count,
                                                DBORDINAL hiddenColumns, int maxChars) {
  DBORDINAL hidden = hiddenColumns;
  for (DBORDINAL i = 0; i < hidden && i < count; ++i)
    if (columns[i].iOrdinal == 0) ++hidden;
  std::vector<DisplayColumn> shown;
  for (DBORDINAL i = hidden; i < count; ++i) {
    const DBCOLUMNINFO& info = columns[i];
    if (IsNeverShown(info)) continue;
    DisplayColumn column;
    column.ordinal = info.iOrdinal;
    column.heading = info.pwszName ? OleToAnsi(info.pwszName) : std::string();
    column.characters = DisplayCharacters(info, maxChars);
    column.format = info.wType == DBTYPE_R8 || info.wType == DBTYPE_CY ? LVCFMT_RIGHT : LVCFMT_LEFT;
    shown.push_back(std::move(column));
  }
  return shown;
}

HRESULT BindColumnsForDisplay(IRowset* rowset, DBORDINAL hiddenColumns, int maxChars, CListCtrl& list,
                              DisplayBindings& bindings, const UiThreadCall& onUiThread) {
  if (!rowset) return E_INVALIDARG;
  IColumnsInfo* columnsInfo = nullptr;
  HRESULT hr = rowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&columnsInfo));
  if (FAILED(hr)) return hr;
  DBORDINAL count = 0;
  DBCOLUMNINFO* info = nullptr;
  OLECHAR* strings = nullptr;
  hr = columnsInfo->GetColumnInfo(&count, &info, &strings);
  columnsInfo->Release();
  if (FAILED(hr)) return hr;
  const std::vector<DisplayColumn> shown = ChooseDisplayColumns(info, count, hiddenColumns, maxChars);
  CoTaskMemFree(info);
  CoTaskMemFree(strings);
  DBBINDING* array = NewBindings(shown);
  if (!array) return E_OUTOFMEMORY;
  bindings.Adopt(array, static_cast<DBCOUNTITEM>(shown.size()));
  RunOnUiThread(onUiThread, [&] { InsertListColumns(list, shown); });
  return hr;
}
