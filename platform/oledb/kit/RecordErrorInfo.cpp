#include "RecordErrorInfo.h"

HRESULT CRecordErrorInfo::Guid(const ErrorRecord& r, GUID* pGUID) {
  if (!pGUID) return E_INVALIDARG;
  *pGUID = r.iid;
  return S_OK;
}

HRESULT CRecordErrorInfo::Text(const std::u16string& text, BSTR* pBstr) {
  if (!pBstr) return E_INVALIDARG;
  *pBstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *pBstr ? S_OK : E_OUTOFMEMORY;
}

// Records carry no help; an empty answer is the documented "none".
HRESULT CRecordErrorInfo::HelpFile(BSTR* pBstrHelpFile) {
  if (!pBstrHelpFile) return E_INVALIDARG;
  *pBstrHelpFile = nullptr;
  return S_OK;
}

HRESULT CRecordErrorInfo::HelpContext(DWORD* pdwHelpContext) {
  if (!pdwHelpContext) return E_INVALIDARG;
  *pdwHelpContext = 0;
  return S_OK;
}

HRESULT CRecordErrorInfo::GetGUID(GUID* pGUID) { return Guid(m_record, pGUID); }
HRESULT CRecordErrorInfo::GetSource(BSTR* pBstrSource) { return Text(m_record.source, pBstrSource); }
HRESULT CRecordErrorInfo::GetDescription(BSTR* pBstrDescription) {
  return Text(m_record.description, pBstrDescription);
}
HRESULT CRecordErrorInfo::GetHelpFile(BSTR* pBstrHelpFile) { return HelpFile(pBstrHelpFile); }
HRESULT CRecordErrorInfo::GetHelpContext(DWORD* pdwHelpContext) { return HelpContext(pdwHelpContext); }
