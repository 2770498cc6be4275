// A provider without a connection page of its own, for the Data Links
// tests: initialization properties in the kit's property store; Initialize
// succeeds only for the data source "server1" and posts a record otherwise.
#pragma once

#include "ClassRegistry.h"
#include "ComObject.h"
#include "PropertyTable.h"
#include "oledb.h"

inline constexpr CLSID CLSID_FakeProvider = {
    0x7C0D2E55, 0x41B9, 0x4F0A, {0x8E, 0x21, 0x6A, 0x33, 0x90, 0x1B, 0xC4, 0x71}};
inline constexpr const char* kFakeProviderDescription = "Fake OLE DB Provider";
inline constexpr const char16_t* kFakeErrorSource = u"Fake.Provider";

class CFakeDataSource : public ComObject<IDBInitialize, IDBProperties, IPersist, ISupportErrorInfo> {
 public:
  CFakeDataSource();

  HRESULT STDMETHODCALLTYPE Initialize() override;
  HRESULT STDMETHODCALLTYPE Uninitialize() override;
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                            ULONG* pcPropertyInfoSets,
                                            DBPROPINFOSET** prgPropertyInfoSets,
                                            OLECHAR** ppDescBuffer) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  CPropertyStore m_store;
  bool m_initialized = false;
};

ClassEntry FakeProviderEntry();
