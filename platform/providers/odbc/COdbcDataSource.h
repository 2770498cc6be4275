// The ODBC provider's data source: initialization properties, the
// connection through SQLDriverConnect, server facts and sessions.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "COdbcConnection.h"
#include "ComObject.h"
#include "OdbcProvider.h"
#include "PropertyTable.h"
#include "oledb.h"

class COdbcDataSource
    : public ComObject<IDBInitialize, IDBProperties, IDBInfo, IDBCreateSession, ISupportErrorInfo, IPersist> {
 public:
  COdbcDataSource();

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
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
    if (!pClassID) return E_POINTER;
    *pClassID = CLSID_RavezovODBC;
    return S_OK;
  }

  void SessionOpened() { ++m_sessions; }
  void SessionClosed() { --m_sessions; }

 private:
  HRESULT PromptIfAsked();
  HRESULT Connect();
  void PublishInfo(const OdbcServerInfo& info);
  std::shared_ptr<COdbcConnection> Connection() const;
  HRESULT NotInitialized(REFIID iid) const;

  mutable std::mutex m_mutex;
  CPropertyStore m_properties;
  std::shared_ptr<COdbcConnection> m_connection;
  std::atomic<int> m_sessions{0};
};
