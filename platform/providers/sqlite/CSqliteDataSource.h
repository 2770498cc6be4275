// The data source object: initialization properties, opening the file,
// literal information and sessions.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "ComObject.h"
#include "PropertyTable.h"
#include "SqliteConnection.h"
#include "SqliteProvider.h"
#include "oledb.h"

class CSqliteDataSource
    : public ComObject<IDBInitialize, IDBProperties, IDBInfo, IDBCreateSession, ISupportErrorInfo,
                       IPersist> {
 public:
  CSqliteDataSource();

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
  HRESULT STDMETHODCALLTYPE GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[],
                                           ULONG* pcLiteralInfo, DBLITERALINFO** prgLiteralInfo,
                                           OLECHAR** ppCharBuffer) override;
  // IDBCreateSession
  HRESULT STDMETHODCALLTYPE CreateSession(IUnknown* pUnkOuter, REFIID riid,
                                          IUnknown** ppDBSession) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
  // IPersist: names the provider, so an initialization string can be written for it.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
    if (!pClassID) return E_POINTER;
    *pClassID = CLSID_RavezovSQLite;
    return S_OK;
  }

  // Sessions report their opening and closing so Uninitialize can refuse.
  void SessionOpened() { ++m_sessions; }
  void SessionClosed() { --m_sessions; }

 private:
  HRESULT PromptIfAsked();
  HRESULT OpenDatabase();
  void PublishInfo();
  std::shared_ptr<CSqliteConnection> Connection() const;

  mutable std::mutex m_mutex;
  CPropertyStore m_properties;
  std::shared_ptr<CSqliteConnection> m_connection;
  std::atomic<int> m_sessions{0};
};
