#include "CBind.h"

#include <cstring>

#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr DBLENGTH kPartSize = 4;  // a length or a status in the row

DBLENGTH RoundUpToFour(DBLENGTH size) { return (size + 3) & ~DBLENGTH{3}; }

template <class T>
bool GrowArray(T*& array, size_t count) {
  void* grown = CoTaskMemRealloc(array, count * sizeof(T));
  if (!grown) return false;
  array = static_cast<T*>(grown);
  return true;
}

}  // namespace

CBind::~CBind() {
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(CoGetMalloc(MEMCTX_TASK, &allocator)) && allocator) {
    allocator->Free(m_rgBindings);
    allocator->Free(m_pRowBuffer);
    allocator->Free(m_rgDestinations);
    allocator->Free(m_rgBindStatus);
    allocator->Release();
  }
  if (m_pAccessor) {
    if (m_hAccessor) m_pAccessor->ReleaseAccessor(m_hAccessor, nullptr);
    m_pAccessor->Release();
  }
  if (m_pRowset) m_pRowset->Release();
  OutputDebugString("Destructor de CBind\n");
}

BOOL CBind::AddBinding(DBORDINAL ordinal, char* destination, DBLENGTH maxLength, DBPART parts) {
  const size_t count = size_t{m_cBindings} + 1;
  if (!GrowArray(m_rgBindings, count) || !GrowArray(m_rgDestinations, count)) return FALSE;
  DBBINDING& binding = m_rgBindings[m_cBindings];
  std::memset(&binding, 0, sizeof binding);
  binding.iOrdinal = ordinal;
  binding.dwPart = parts;
  binding.cbMaxLen = maxLength;
  binding.wType = DBTYPE_STR;
  binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  binding.eParamIO = DBPARAMIO_NOTPARAM;
  const DBLENGTH previousSize = m_cbRowSize;
  LayOutParts(binding);
  if (!GrowArray(m_pRowBuffer, m_cbRowSize)) {
    m_cbRowSize = previousSize;
    return FALSE;
  }
  // New parts start out clear; a caller's destination fills the value.
  std::memset(m_pRowBuffer + previousSize, 0, m_cbRowSize - previousSize);
  m_rgDestinations[m_cBindings] = destination;
  if (destination) SeedFromDestination(binding, destination);
  if (parts & DBPART_STATUS) {
    const DBSTATUS ok = DBSTATUS_S_OK;
    std::memcpy(m_pRowBuffer + binding.obStatus, &ok, sizeof ok);
  }
  ++m_cBindings;
  return TRUE;
}

void CBind::LayOutParts(DBBINDING& binding) {
  if (binding.dwPart & DBPART_VALUE) {
    binding.obValue = m_cbRowSize;
    m_cbRowSize += RoundUpToFour(binding.cbMaxLen);
  }
  if (binding.dwPart & DBPART_LENGTH) {
    binding.obLength = m_cbRowSize;
    m_cbRowSize += kPartSize;
  }
  if (binding.dwPart & DBPART_STATUS) {
    binding.obStatus = m_cbRowSize;
    m_cbRowSize += kPartSize;
  }
}

void CBind::SeedFromDestination(const DBBINDING& binding, char* destination) {
  if (binding.cbMaxLen == 0) return;
  destination[binding.cbMaxLen - 1] = '\0';
  if (binding.dwPart & DBPART_VALUE) lstrcpy(reinterpret_cast<char*>(m_pRowBuffer + binding.obValue), destination);
  if (binding.dwPart & DBPART_LENGTH) {
    const DBLENGTH length = static_cast<DBLENGTH>(lstrlen(destination));
    std::memcpy(m_pRowBuffer + binding.obLength, &length, sizeof length);
  }
}

void CBind::CreateAccessor(IUnknown* rowset) {
  if (!rowset) return;
  if (FAILED(rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&m_pAccessor)))) {
    m_pAccessor = nullptr;
    return;
  }
  CoTaskMemFree(m_rgBindStatus);
  m_rgBindStatus = static_cast<DBBINDSTATUS*>(CoTaskMemAlloc((m_cBindings ? m_cBindings : 1) * sizeof(DBBINDSTATUS)));
  if (!m_rgBindStatus ||
      FAILED(m_pAccessor->CreateAccessor(DBACCESSOR_ROWDATA, m_cBindings, m_rgBindings, m_cbRowSize, &m_hAccessor,
                                         m_rgBindStatus))) {
    m_hAccessor = 0;
    m_pAccessor->Release();
    m_pAccessor = nullptr;
  }
  if (m_pRowset) m_pRowset->Release();
  if (FAILED(rowset->QueryInterface(IID_IRowset, reinterpret_cast<void**>(&m_pRowset)))) m_pRowset = nullptr;
}

HRESULT CBind::GetData(IRowset* rowset, HROW row) {
  if (!rowset) return E_INVALIDARG;
  for (ULONG i = 0; i < m_cBindings; ++i) {
    const DBBINDING& binding = m_rgBindings[i];
    if (binding.dwPart & DBPART_VALUE) std::memset(m_pRowBuffer + binding.obValue, 0, binding.cbMaxLen);
  }
  const HRESULT hr = rowset->GetData(row, m_hAccessor, m_pRowBuffer);
  if (FAILED(hr)) return hr;
  CopyOut();
  return hr;
}

void CBind::CopyOut() {
  for (ULONG i = 0; i < m_cBindings; ++i) {
    const DBBINDING& binding = m_rgBindings[i];
    if (m_rgDestinations[i] && (binding.dwPart & DBPART_VALUE))
      std::memcpy(m_rgDestinations[i], m_pRowBuffer + binding.obValue, binding.cbMaxLen);
  }
}
