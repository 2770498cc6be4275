// Building and posting error objects.
#include "ErrorRecords.h"

#include "ErrorObject.h"
#include "stringapiset.h"

CErrorRecordsBuilder::CErrorRecordsBuilder(REFCLSID clsid, REFIID iid, std::u16string source)
    : m_clsid(clsid), m_iid(iid), m_source(std::move(source)) {}

CErrorRecordsBuilder& CErrorRecordsBuilder::Add(HRESULT hr, std::string_view description,
                                                std::string_view sqlState, LONG nativeError) {
  ErrorRecord r;
  r.hrError = hr;
  r.description = AnsiToOle(description);
  r.source = m_source;
  r.sqlState = AnsiToOle(sqlState);
  r.nativeError = nativeError;
  r.clsid = m_clsid;
  r.iid = m_iid;
  m_records.push_back(std::move(r));
  return *this;
}

HRESULT CErrorRecordsBuilder::Post(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (!m_records.empty() && SUCCEEDED(CreateErrorObject(std::move(m_records), &info)))
    SetErrorInfo(0, info);
  else
    SetErrorInfo(0, nullptr);
  m_records.clear();
  return hr;
}

HRESULT PostError(HRESULT hr, REFCLSID clsid, REFIID iid, std::u16string_view source,
                  std::string_view description, std::string_view sqlState, LONG nativeError) {
  return CErrorRecordsBuilder(clsid, iid, std::u16string(source))
      .Add(hr, description, sqlState, nativeError)
      .Post(hr);
}

HRESULT CreateErrorObject(std::vector<ErrorRecord> records, IErrorInfo** ppErrorInfo) {
  return ComObject<IErrorInfo, IErrorRecords>::CreateInstance<CErrorObject>(
      IID_IErrorInfo, reinterpret_cast<void**>(ppErrorInfo), std::move(records));
}

HRESULT SupportsErrorInfo(REFIID riid, std::initializer_list<const IID*> interfaces) {
  for (const IID* iid : interfaces)
    if (*iid == riid) return S_OK;
  return S_FALSE;
}
