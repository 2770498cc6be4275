// Accessors of one rowset or command.
#include "AccessorTable.h"

#include <algorithm>
#include <cstring>

#include "objbase.h"

namespace {

constexpr DBPART kAllParts = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
constexpr DBACCESSORFLAGS kKnownFlags =
    DBACCESSOR_PASSBYREF | DBACCESSOR_ROWDATA | DBACCESSOR_PARAMETERDATA | DBACCESSOR_OPTIMIZED;

// Bytes the value part occupies in the client's buffer.
DBLENGTH ValueSize(const DBBINDING& b) {
  if (b.wType & DBTYPE_BYREF) return sizeof(void*);
  switch (b.wType) {
    case DBTYPE_STR:
    case DBTYPE_WSTR:
    case DBTYPE_BYTES: return b.cbMaxLen;
    case DBTYPE_I1:
    case DBTYPE_UI1: return 1;
    case DBTYPE_I2:
    case DBTYPE_UI2:
    case DBTYPE_BOOL: return 2;
    case DBTYPE_I4:
    case DBTYPE_UI4:
    case DBTYPE_R4: return 4;
    case DBTYPE_I8:
    case DBTYPE_UI8:
    case DBTYPE_R8: return 8;
    case DBTYPE_BSTR: return sizeof(BSTR);
    case DBTYPE_GUID: return sizeof(GUID);
    case DBTYPE_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

struct Span {
  DBBYTEOFFSET at;
  DBLENGTH size;
};

bool Overlap(const Span& a, const Span& b) {
  if (a.size == 0 || b.size == 0) return false;
  return a.at < b.at + b.size && b.at < a.at + a.size;
}

// The parts of one binding must not overlap each other.
bool PartsOverlap(const DBBINDING& b) {
  std::vector<Span> spans;
  if (b.dwPart & DBPART_VALUE) spans.push_back({b.obValue, ValueSize(b)});
  if (b.dwPart & DBPART_LENGTH) spans.push_back({b.obLength, sizeof(DBLENGTH)});
  if (b.dwPart & DBPART_STATUS) spans.push_back({b.obStatus, sizeof(DBSTATUS)});
  for (size_t i = 0; i < spans.size(); ++i)
    for (size_t j = i + 1; j < spans.size(); ++j)
      if (Overlap(spans[i], spans[j])) return true;
  return false;
}

bool IsWellFormedType(DBTYPE type) {
  if (type & (DBTYPE_RESERVED | DBTYPE_ARRAY | DBTYPE_VECTOR)) return false;
  DBTYPE base = type & ~DBTYPE_BYREF;
  if (base == DBTYPE_EMPTY || base == DBTYPE_NULL) return false;
  // By reference only makes sense for the variable-length types here.
  if ((type & DBTYPE_BYREF) && !IsConvertibleBindingType(type)) return false;
  return true;
}

DBBINDSTATUS ValidateBinding(const DBBINDING& b, DBORDINAL cColumns, bool hasBookmark) {
  if (b.iOrdinal > cColumns || (b.iOrdinal == 0 && !hasBookmark)) return DBBINDSTATUS_BADORDINAL;
  if ((b.dwPart & kAllParts) == 0 || (b.dwPart & ~kAllParts) != 0) return DBBINDSTATUS_BADBINDINFO;
  if (!IsWellFormedType(b.wType)) return DBBINDSTATUS_BADBINDINFO;
  // Provider-owned memory would have to outlive the row; this kit hands
  // every by-reference value to the client instead.
  if (b.dwMemOwner != DBMEMOWNER_CLIENTOWNED) return DBBINDSTATUS_BADBINDINFO;
  if (b.pObject) return DBBINDSTATUS_BADBINDINFO;
  if (!IsConvertibleBindingType(b.wType)) return DBBINDSTATUS_UNSUPPORTEDCONVERSION;
  if (PartsOverlap(b)) return DBBINDSTATUS_BADBINDINFO;
  return DBBINDSTATUS_OK;
}

HRESULT ValidateFlags(DBACCESSORFLAGS flags, DBCOUNTITEM cBindings) {
  if (flags & ~kKnownFlags) return DB_E_BADACCESSORFLAGS;
  if (flags & DBACCESSOR_PASSBYREF) return DB_E_BYREFACCESSORNOTSUPPORTED;
  // Accessors here read and write rows; parameters are not served by this table.
  if (!(flags & DBACCESSOR_ROWDATA) || (flags & DBACCESSOR_PARAMETERDATA)) return DB_E_BADACCESSORFLAGS;
  if (cBindings == 0) return DB_E_NULLACCESSORNOTSUPPORTED;
  return S_OK;
}

}  // namespace

HRESULT CombineBindingStatuses(size_t failed, size_t total) {
  if (failed == 0) return S_OK;
  return failed < total ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED;
}

HRESULT CAccessorTable::CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                                       const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                       HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[],
                                       DBORDINAL cColumns, bool hasBookmark) {
  if (!phAccessor) return E_INVALIDARG;
  *phAccessor = 0;
  if (cBindings && !rgBindings) return E_INVALIDARG;
  if (HRESULT hr = ValidateFlags(dwAccessorFlags, cBindings); FAILED(hr)) return hr;

  Accessor accessor;
  accessor.flags = dwAccessorFlags;
  accessor.cbRowSize = cbRowSize;
  bool anyBad = false;
  for (DBCOUNTITEM i = 0; i < cBindings; ++i) {
    DBBINDSTATUS status = ValidateBinding(rgBindings[i], cColumns, hasBookmark);
    if (rgStatus) rgStatus[i] = status;
    anyBad = anyBad || status != DBBINDSTATUS_OK;
    DBBINDING kept = rgBindings[i];
    kept.pTypeInfo = nullptr;
    kept.pObject = nullptr;
    kept.pBindExt = nullptr;
    accessor.bindings.push_back(kept);
  }
  if (anyBad) return DB_E_ERRORSOCCURRED;

  std::lock_guard lock(m_mutex);
  HACCESSOR handle = m_next++;
  m_accessors.emplace(handle, std::move(accessor));
  *phAccessor = handle;
  return S_OK;
}

HRESULT CAccessorTable::AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  std::lock_guard lock(m_mutex);
  auto it = m_accessors.find(hAccessor);
  if (it == m_accessors.end()) return DB_E_BADACCESSORHANDLE;
  ++it->second.refCount;
  if (pcRefCount) *pcRefCount = it->second.refCount;
  return S_OK;
}

HRESULT CAccessorTable::ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  std::lock_guard lock(m_mutex);
  auto it = m_accessors.find(hAccessor);
  if (it == m_accessors.end()) return DB_E_BADACCESSORHANDLE;
  DBREFCOUNT left = --it->second.refCount;
  if (left == 0) m_accessors.erase(it);
  if (pcRefCount) *pcRefCount = left;
  return S_OK;
}

HRESULT CAccessorTable::GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                                    DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) const {
  if (pcBindings) *pcBindings = 0;
  if (prgBindings) *prgBindings = nullptr;
  if (!pdwAccessorFlags || !pcBindings || !prgBindings) return E_INVALIDARG;
  Accessor accessor;
  if (!Find(hAccessor, accessor)) return DB_E_BADACCESSORHANDLE;
  *pdwAccessorFlags = accessor.flags;
  if (accessor.bindings.empty()) return S_OK;
  size_t bytes = accessor.bindings.size() * sizeof(DBBINDING);
  auto* array = static_cast<DBBINDING*>(CoTaskMemAlloc(bytes));
  if (!array) return E_OUTOFMEMORY;
  std::memcpy(array, accessor.bindings.data(), bytes);
  *pcBindings = static_cast<DBCOUNTITEM>(accessor.bindings.size());
  *prgBindings = array;
  return S_OK;
}

bool CAccessorTable::Find(HACCESSOR hAccessor, Accessor& out) const {
  std::lock_guard lock(m_mutex);
  auto it = m_accessors.find(hAccessor);
  if (it == m_accessors.end()) return false;
  out = it->second;
  return true;
}
