// The IErrorInfo of one error record: a copy of the record, so it outlives
// the error object that handed it out.
#pragma once

#include "ComObject.h"
#include "ErrorRecords.h"

class CRecordErrorInfo : public ComObject<IErrorInfo> {
 public:
  explicit CRecordErrorInfo(ErrorRecord record) : m_record(std::move(record)) {}

  HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override;
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) override;
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) override;
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) override;

  // The same answers for any holder of a record (the error object answers
  // for its first record this way).
  static HRESULT Guid(const ErrorRecord& r, GUID* pGUID);
  static HRESULT Text(const std::u16string& text, BSTR* pBstr);
  static HRESULT HelpFile(BSTR* pBstrHelpFile);
  static HRESULT HelpContext(DWORD* pdwHelpContext);

 private:
  const ErrorRecord m_record;
};
