// What every provider's data source does alike: the property sets it shows
// before and after initialization, the prompt, the initialization states,
// refusing to uninitialize under open sessions, argument checks and error
// support. A provider derives from it and supplies the hooks that connect to
// its database and answer from it.
//
// Every method here that fails leaves one error record naming the provider
// and the failing method's interface.
#pragma once

#include <atomic>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "ComObject.h"
#include "PropertyTable.h"
#include "oledb.h"

class CDataSourceBase
    : public ComObject<IDBInitialize, IDBProperties, IDBInfo, IDBCreateSession, ISupportErrorInfo, IPersist> {
 public:
  // IDBInitialize
  HRESULT STDMETHODCALLTYPE Initialize() override;
  HRESULT STDMETHODCALLTYPE Uninitialize() override;
  // IDBProperties
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                            ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                                            OLECHAR** ppDescBuffer) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IDBInfo
  HRESULT STDMETHODCALLTYPE GetKeywords(LPOLESTR* ppwszKeywords) override;
  HRESULT STDMETHODCALLTYPE GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                                           DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) override;
  // IDBCreateSession
  HRESULT STDMETHODCALLTYPE CreateSession(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppDBSession) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
  // IPersist: names the provider, so an initialization string can be written for it.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;

  // Sessions report their opening and closing so Uninitialize can refuse.
  void SessionOpened() { ++m_sessions; }
  void SessionClosed() { --m_sessions; }

 protected:
  CDataSourceBase(std::span<const PropertyDef> properties, REFCLSID provider, std::u16string errorSource);

  // Called under m_mutex.
  virtual bool IsOpen() const = 0;
  // Whether the initialization properties already name what to open, so
  // completing a prompt has nothing to ask.
  virtual bool NamesItsSource() const = 0;
  // Connects as m_properties say and publishes what the database tells
  // into DBPROPSET_DATASOURCEINFO; posts its own records on failure.
  virtual HRESULT Open() = 0;
  virtual void Close() = 0;
  // Called without the lock, once initialized.
  virtual HRESULT Keywords(LPOLESTR* ppwszKeywords) = 0;
  virtual HRESULT Literals(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                           DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) = 0;
  virtual HRESULT NewSession(REFIID riid, IUnknown** ppDBSession) = 0;

  // Posts one error record for a failure of a method of `iid`; returns hr.
  HRESULT Fail(HRESULT hr, REFIID iid, std::string_view text) const;

  mutable std::mutex m_mutex;  // guards the properties and the connection
  CPropertyStore m_properties;

 private:
  bool Initialized() const;
  HRESULT PromptIfAsked();
  HRESULT NotInitialized(REFIID iid) const;

  const CLSID m_provider;
  const std::u16string m_errorSource;
  std::atomic<int> m_sessions{0};
};
