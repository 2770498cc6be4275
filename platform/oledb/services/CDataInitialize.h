// The data initialization service: data sources from initialization strings
// and initialization strings from data sources.
#pragma once

#include <string>
#include <vector>

#include "ComObject.h"
#include "ErrorRecords.h"
#include "InitPropertyCatalog.h"
#include "InitializationString.h"
#include "msdasc.h"
#include "oleauto.h"

class CDataInitialize : public ComObject<IDataInitialize, ISupportErrorInfo> {
 public:
  static constexpr const char* kProgId = "Ravezov.DataInitialize";

  // IDataInitialize
  HRESULT STDMETHODCALLTYPE GetDataSource(IUnknown* pUnkOuter, DWORD dwClsCtx,
                                          LPCOLESTR pwszInitializationString, REFIID riid,
                                          IUnknown** ppDataSource) override;
  HRESULT STDMETHODCALLTYPE GetInitializationString(IUnknown* pDataSource, boolean fIncludePassword,
                                                    LPOLESTR* ppwszInitString) override;
  HRESULT STDMETHODCALLTYPE CreateDBInstance(REFCLSID clsidProvider, IUnknown* pUnkOuter,
                                             DWORD dwClsCtx, LPOLESTR pwszReserved, REFIID riid,
                                             IUnknown** ppDataSource) override;
  HRESULT STDMETHODCALLTYPE CreateDBInstanceEx(REFCLSID clsidProvider, IUnknown* pUnkOuter,
                                               DWORD dwClsCtx, LPOLESTR pwszReserved,
                                               COSERVERINFO* pServerInfo, ULONG cmq,
                                               MULTI_QI* rgmqResults) override;
  HRESULT STDMETHODCALLTYPE LoadStringFromStorage(LPCOLESTR pwszFileName,
                                                  LPOLESTR* ppwszInitializationString) override;
  HRESULT STDMETHODCALLTYPE WriteStringToStorage(LPCOLESTR pwszFileName,
                                                 LPCOLESTR pwszInitializationString,
                                                 DWORD dwCreationDisposition) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  HRESULT Fail(HRESULT hr, std::string_view description) const;
  HRESULT CreateProvider(const std::vector<InitStringPair>& pairs, ComPtr<IDBProperties>& properties,
                         std::string& providerName) const;
  HRESULT ApplyProperties(IDBProperties* properties, const std::vector<InitStringPair>& pairs,
                          const std::string& providerName) const;
  HRESULT ProviderName(IUnknown* dataSource, std::u16string& name) const;
  HRESULT WriteProperties(IDBProperties* properties, bool includePassword, std::u16string& text) const;
};
