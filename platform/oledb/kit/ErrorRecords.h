// Error records: an error object with IErrorInfo and IErrorRecords, one
// record per diagnostic, set as the thread's error object.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "oledb.h"

struct ErrorRecord {
  HRESULT hrError = E_FAIL;
  std::u16string description;
  std::u16string source;     // the provider's programmatic name
  std::u16string sqlState;   // empty when the database gives none
  LONG nativeError = 0;
  CLSID clsid = GUID_NULL;   // the provider's class
  IID iid = GUID_NULL;       // the interface whose method failed
};

// Collects records and posts them as the thread's error object.
class CErrorRecordsBuilder {
 public:
  CErrorRecordsBuilder(REFCLSID clsid, REFIID iid, std::u16string source);
  // Description in UTF-8 as the database gives it.
  CErrorRecordsBuilder& Add(HRESULT hr, std::string_view description, std::string_view sqlState = {},
                            LONG nativeError = 0);
  bool Empty() const { return m_records.empty(); }
  // Sets the error object on this thread and returns hr.
  HRESULT Post(HRESULT hr);

 private:
  CLSID m_clsid;
  IID m_iid;
  std::u16string m_source;
  std::vector<ErrorRecord> m_records;
};

// One record, posted at once; returns hr so a method can `return PostError(...)`.
HRESULT PostError(HRESULT hr, REFCLSID clsid, REFIID iid, std::u16string_view source,
                  std::string_view description, std::string_view sqlState = {},
                  LONG nativeError = 0);

// Creates the error object over records (for tests and services).
HRESULT CreateErrorObject(std::vector<ErrorRecord> records, IErrorInfo** ppErrorInfo);

// Every method starts with a clean slot, so a stale record never explains a
// later failure.
inline void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

// ISupportErrorInfo answer for an object whose listed interfaces post records.
HRESULT SupportsErrorInfo(REFIID riid, std::initializer_list<const IID*> interfaces);
