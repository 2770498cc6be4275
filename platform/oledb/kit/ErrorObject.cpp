#include "ErrorObject.h"

#include <cstdio>

#include "RecordErrorInfo.h"
#include "SqlErrorInfo.h"

CErrorObject::CErrorObject(std::vector<ErrorRecord> records) {
  for (ErrorRecord& r : records) m_records.push_back({std::move(r), nullptr});
}

ErrorRecord CErrorObject::Top() const {
  std::lock_guard lock(m_mutex);
  return m_records.empty() ? ErrorRecord{} : m_records.front().record;
}

bool CErrorObject::Get(ULONG ulRecordNum, Stored& out) const {
  std::lock_guard lock(m_mutex);
  if (ulRecordNum >= m_records.size()) return false;
  out = m_records[ulRecordNum];
  return true;
}

HRESULT CErrorObject::GetGUID(GUID* pGUID) { return CRecordErrorInfo::Guid(Top(), pGUID); }
HRESULT CErrorObject::GetSource(BSTR* pBstrSource) {
  return CRecordErrorInfo::Text(Top().source, pBstrSource);
}
HRESULT CErrorObject::GetDescription(BSTR* pBstrDescription) {
  return CRecordErrorInfo::Text(Top().description, pBstrDescription);
}
HRESULT CErrorObject::GetHelpFile(BSTR* pBstrHelpFile) {
  return CRecordErrorInfo::HelpFile(pBstrHelpFile);
}
HRESULT CErrorObject::GetHelpContext(DWORD* pdwHelpContext) {
  return CRecordErrorInfo::HelpContext(pdwHelpContext);
}

// Without a lookup service the record describes itself by its status code.
// A new record goes on top, as record 0.
HRESULT CErrorObject::AddErrorRecord(ERRORINFO* pErrorInfo, DWORD /*dwLookupID*/,
                                     DISPPARAMS* /*pdispparams*/, IUnknown* punkCustomError,
                                     DWORD /*dwDynamicErrorID*/) {
  if (!pErrorInfo) return E_INVALIDARG;
  Stored s;
  s.record.hrError = pErrorInfo->hrError;
  s.record.nativeError = static_cast<LONG>(pErrorInfo->dwMinor);
  s.record.clsid = pErrorInfo->clsid;
  s.record.iid = pErrorInfo->iid;
  char text[32];
  std::snprintf(text, sizeof text, "Error 0x%08X", static_cast<unsigned>(pErrorInfo->hrError));
  s.record.description = AnsiToOle(text);
  s.custom = punkCustomError;
  std::lock_guard lock(m_mutex);
  m_records.insert(m_records.begin(), std::move(s));
  return S_OK;
}

HRESULT CErrorObject::GetBasicErrorInfo(ULONG ulRecordNum, ERRORINFO* pErrorInfo) {
  if (!pErrorInfo) return E_INVALIDARG;
  Stored s;
  if (!Get(ulRecordNum, s)) return DB_E_BADRECORDNUM;
  pErrorInfo->hrError = s.record.hrError;
  pErrorInfo->dwMinor = static_cast<DWORD>(s.record.nativeError);
  pErrorInfo->clsid = s.record.clsid;
  pErrorInfo->iid = s.record.iid;
  pErrorInfo->dispid = 0;
  return S_OK;
}

HRESULT CErrorObject::GetCustomErrorObject(ULONG ulRecordNum, REFIID riid, IUnknown** ppObject) {
  if (!ppObject) return E_INVALIDARG;
  *ppObject = nullptr;
  Stored s;
  if (!Get(ulRecordNum, s)) return DB_E_BADRECORDNUM;
  if (s.custom) return s.custom->QueryInterface(riid, reinterpret_cast<void**>(ppObject));
  if (s.record.sqlState.empty()) return S_OK;  // no custom object: null with success
  return ComObject<ISQLErrorInfo>::CreateInstance<CSqlErrorInfo>(
      riid, reinterpret_cast<void**>(ppObject), s.record.sqlState, s.record.nativeError);
}

HRESULT CErrorObject::GetErrorInfo(ULONG ulRecordNum, LCID /*lcid*/, IErrorInfo** ppErrorInfo) {
  if (!ppErrorInfo) return E_INVALIDARG;
  *ppErrorInfo = nullptr;
  Stored s;
  if (!Get(ulRecordNum, s)) return DB_E_BADRECORDNUM;
  return ComObject<IErrorInfo>::CreateInstance<CRecordErrorInfo>(
      IID_IErrorInfo, reinterpret_cast<void**>(ppErrorInfo), std::move(s.record));
}

// Records never carry parameters, and the parameter structure is not
// declared here to be filled.
HRESULT CErrorObject::GetErrorParameters(ULONG ulRecordNum, DISPPARAMS* pdispparams) {
  if (!pdispparams) return E_INVALIDARG;
  Stored s;
  if (!Get(ulRecordNum, s)) return DB_E_BADRECORDNUM;
  return E_NOTIMPL;
}

HRESULT CErrorObject::GetRecordCount(ULONG* pcRecords) {
  if (!pcRecords) return E_INVALIDARG;
  std::lock_guard lock(m_mutex);
  *pcRecords = static_cast<ULONG>(m_records.size());
  return S_OK;
}
