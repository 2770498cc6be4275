#include "SqlErrorInfo.h"

HRESULT CSqlErrorInfo::GetSQLInfo(BSTR* pbstrSQLState, LONG* plNativeError) {
  if (pbstrSQLState) *pbstrSQLState = nullptr;
  if (plNativeError) *plNativeError = 0;
  if (!pbstrSQLState || !plNativeError) return E_INVALIDARG;
  *pbstrSQLState = SysAllocStringLen(m_sqlState.data(), static_cast<UINT>(m_sqlState.size()));
  if (!*pbstrSQLState) return E_OUTOFMEMORY;
  *plNativeError = m_nativeError;
  return S_OK;
}
