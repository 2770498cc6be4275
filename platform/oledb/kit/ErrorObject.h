// The error object a failing method leaves on its thread: IErrorInfo answers
// for the top record, IErrorRecords gives every record.
#pragma once

#include <mutex>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"
#include "ErrorRecords.h"

class CErrorObject : public ComObject<IErrorInfo, IErrorRecords> {
 public:
  // records[0] is record number 0, the one a reader sees first.
  explicit CErrorObject(std::vector<ErrorRecord> records);

  // IErrorInfo
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override;
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) override;
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) override;
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) override;

  // IErrorRecords
  HRESULT STDMETHODCALLTYPE AddErrorRecord(ERRORINFO* pErrorInfo, DWORD dwLookupID,
                                           DISPPARAMS* pdispparams, IUnknown* punkCustomError,
                                           DWORD dwDynamicErrorID) override;
  HRESULT STDMETHODCALLTYPE GetBasicErrorInfo(ULONG ulRecordNum, ERRORINFO* pErrorInfo) override;
  HRESULT STDMETHODCALLTYPE GetCustomErrorObject(ULONG ulRecordNum, REFIID riid,
                                                 IUnknown** ppObject) override;
  HRESULT STDMETHODCALLTYPE GetErrorInfo(ULONG ulRecordNum, LCID lcid,
                                         IErrorInfo** ppErrorInfo) override;
  HRESULT STDMETHODCALLTYPE GetErrorParameters(ULONG ulRecordNum, DISPPARAMS* pdispparams) override;
  HRESULT STDMETHODCALLTYPE GetRecordCount(ULONG* pcRecords) override;

 private:
  struct Stored {
    ErrorRecord record;
    ComPtr<IUnknown> custom;  // given through AddErrorRecord
  };

  // Record 0, or an empty record when there is none.
  ErrorRecord Top() const;
  bool Get(ULONG ulRecordNum, Stored& out) const;

  mutable std::mutex m_mutex;
  std::vector<Stored> m_records;
};
