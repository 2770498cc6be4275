// Column information and column id mapping over column descriptions.
#include "ColumnDesc.h"

#include <cstring>

#include "AccessorTable.h"
#include "objbase.h"

namespace {

// The bookmark column's id: the special-column GUID with property id 2.
constexpr DBID kBookmarkId = {{DBCOL_SPECIALCOL}, DBKIND_GUID_PROPID, {.ulPropid = 2}};

DBCOLUMNINFO BookmarkInfo() {
  DBCOLUMNINFO info{};
  info.iOrdinal = 0;
  info.dwFlags = DBCOLUMNFLAGS_ISBOOKMARK | DBCOLUMNFLAGS_ISFIXEDLENGTH;
  info.ulColumnSize = sizeof(ULONG);
  info.wType = DBTYPE_UI4;
  info.bPrecision = 10;
  info.bScale = 0xFF;
  info.columnid = kBookmarkId;
  return info;
}

const GUID* GuidOf(const DBID& id) {
  switch (id.eKind) {
    case DBKIND_GUID_NAME:
    case DBKIND_GUID_PROPID:
    case DBKIND_GUID: return &id.uGuid.guid;
    case DBKIND_PGUID_NAME:
    case DBKIND_PGUID_PROPID: return id.uGuid.pguid;
    default: return nullptr;
  }
}

bool IsPropidKind(DBKIND kind) {
  return kind == DBKIND_GUID_PROPID || kind == DBKIND_PGUID_PROPID || kind == DBKIND_PROPID;
}

bool IsNameKind(DBKIND kind) {
  return kind == DBKIND_NAME || kind == DBKIND_GUID_NAME || kind == DBKIND_PGUID_NAME;
}

bool SameFixedId(const DBID& asked, const DBID& fixed) {
  if (!IsPropidKind(asked.eKind) || asked.uName.ulPropid != fixed.uName.ulPropid) return false;
  const GUID* guid = GuidOf(asked);
  return guid && *guid == fixed.uGuid.guid;
}

char16_t Folded(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Names compare without regard to ASCII case, as SQL names do.
bool SameName(const OLECHAR* asked, const std::u16string& name) {
  if (!asked) return false;
  size_t n = OleStrLen(asked);
  if (n != name.size()) return false;
  for (size_t i = 0; i < n; ++i)
    if (Folded(asked[i]) != Folded(name[i])) return false;
  return true;
}

DBORDINAL Lookup(const std::vector<ColumnDesc>& columns, bool hasBookmark, const DBID& id) {
  if (hasBookmark && SameFixedId(id, kBookmarkId)) return 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnDesc& c = columns[i];
    bool match = c.columnId ? SameFixedId(id, *c.columnId)
                            : IsNameKind(id.eKind) && SameName(id.uName.pwszName, c.name);
    if (match) return static_cast<DBORDINAL>(i + 1);
  }
  return DB_INVALIDCOLUMN;
}

}  // namespace

HRESULT FillColumnInfo(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                       DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo, OLECHAR** ppStringsBuffer) {
  if (pcColumns) *pcColumns = 0;
  if (prgInfo) *prgInfo = nullptr;
  if (ppStringsBuffer) *ppStringsBuffer = nullptr;
  if (!pcColumns || !prgInfo || !ppStringsBuffer) return E_INVALIDARG;

  size_t count = columns.size() + (hasBookmark ? 1 : 0);
  if (count == 0) return S_OK;
  size_t chars = 0;
  for (const ColumnDesc& c : columns) chars += c.name.size() + 1;
  auto* info = static_cast<DBCOLUMNINFO*>(CoTaskMemAlloc(count * sizeof(DBCOLUMNINFO)));
  auto* strings = static_cast<OLECHAR*>(CoTaskMemAlloc(chars ? chars * sizeof(OLECHAR) : 1));
  if (!info || !strings) {
    CoTaskMemFree(info);
    CoTaskMemFree(strings);
    return E_OUTOFMEMORY;
  }
  std::memset(info, 0, count * sizeof(DBCOLUMNINFO));
  size_t at = 0;
  if (hasBookmark) info[at++] = BookmarkInfo();
  OLECHAR* next = strings;
  for (size_t i = 0; i < columns.size(); ++i, ++at) {
    const ColumnDesc& c = columns[i];
    std::memcpy(next, c.name.c_str(), (c.name.size() + 1) * sizeof(OLECHAR));
    DBCOLUMNINFO& ci = info[at];
    ci.pwszName = next;
    ci.iOrdinal = static_cast<DBORDINAL>(i + 1);
    ci.dwFlags = c.flags;
    ci.ulColumnSize = c.size;
    ci.wType = c.type;
    ci.bPrecision = c.precision;
    ci.bScale = c.scale;
    if (c.columnId) {
      ci.columnid = *c.columnId;
    } else {
      ci.columnid.eKind = DBKIND_NAME;
      ci.columnid.uName.pwszName = next;
    }
    next += c.name.size() + 1;
  }
  *pcColumns = static_cast<DBORDINAL>(count);
  *prgInfo = info;
  *ppStringsBuffer = strings;
  return S_OK;
}

HRESULT MapColumnIDs(const std::vector<ColumnDesc>& columns, bool hasBookmark, DBORDINAL cColumnIDs,
                     const DBID rgColumnIDs[], DBORDINAL rgColumns[]) {
  if (cColumnIDs == 0) return S_OK;
  if (!rgColumnIDs || !rgColumns) return E_INVALIDARG;
  DBORDINAL failed = 0;
  for (DBORDINAL i = 0; i < cColumnIDs; ++i) {
    rgColumns[i] = Lookup(columns, hasBookmark, rgColumnIDs[i]);
    if (rgColumns[i] == DB_INVALIDCOLUMN) ++failed;
  }
  return CombineBindingStatuses(failed, cColumnIDs);
}
