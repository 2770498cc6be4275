// A small data source for the service component tests: initialization
// properties held by the kit's property store, and its class told through
// IPersist unless built without it.
#pragma once

#include <string>

#include "ClassRegistry.h"
#include "ComObject.h"
#include "PropertyTable.h"
#include "oleauto.h"
#include "oledb.h"

inline constexpr CLSID CLSID_TestProvider = {
    0x5A1E7C31, 0x0F2B, 0x4C8D, {0x9A, 0x11, 0x3B, 0x62, 0x7D, 0x40, 0xE5, 0x01}};
inline constexpr CLSID CLSID_TestProviderWithoutClass = {
    0x5A1E7C31, 0x0F2B, 0x4C8D, {0x9A, 0x11, 0x3B, 0x62, 0x7D, 0x40, 0xE5, 0x02}};
inline constexpr CLSID CLSID_TestEnumerator = {
    0x5A1E7C31, 0x0F2B, 0x4C8D, {0x9A, 0x11, 0x3B, 0x62, 0x7D, 0x40, 0xE5, 0x03}};

class CTestDataSource : public ComObject<IDBProperties, IPersist> {
 public:
  explicit CTestDataSource(bool tellsClass = true);

  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                            ULONG* pcPropertyInfoSets,
                                            DBPROPINFOSET** prgPropertyInfoSets,
                                            OLECHAR** ppDescBuffer) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;

 protected:
  void* FindInterface(REFIID riid) override;

 private:
  CPropertyStore m_store;
  bool m_tellsClass;
};

ClassEntry TestProviderEntry();
ClassEntry TestProviderWithoutClassEntry();
ClassEntry TestEnumeratorEntry();

// The thread's error object: its record count and the first record's
// description (UTF-8); the slot is emptied.
struct PostedError {
  ULONG records = 0;
  std::string description;
};
PostedError TakePostedError();

// One property of a data source as text, or "<unset>".
std::string PropertyText(IUnknown* dataSource, DBPROPID id);

// Keeps the apartment initialized for a test.
struct CComScope {
  CComScope() { CoInitialize(nullptr); }
  ~CComScope() { CoUninitialize(); }
};
