// The session: schema rowsets, tables opened by name, commands.
#pragma once

#include <memory>
#include <mutex>

#include "ComObject.h"
#include "ComPtr.h"
#include "PropertyTable.h"
#include "SqliteConnection.h"
#include "oledb.h"

class CSqliteDataSource;

class CSqliteSession : public ComObject<IGetDataSource, IOpenRowset, ISessionProperties,
                                        IDBCreateCommand, IDBSchemaRowset, ISupportErrorInfo> {
 public:
  CSqliteSession(CSqliteDataSource* dataSource, std::shared_ptr<CSqliteConnection> connection);

  // IGetDataSource
  HRESULT STDMETHODCALLTYPE GetDataSource(REFIID riid, IUnknown** ppDataSource) override;
  // IOpenRowset
  HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID,
                                       REFIID riid, ULONG cPropertySets, DBPROPSET rgPropertySets[],
                                       IUnknown** ppRowset) override;
  // ISessionProperties
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IDBCreateCommand
  HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* pUnkOuter, REFIID riid,
                                          IUnknown** ppCommand) override;
  // IDBSchemaRowset
  HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                      const VARIANT rgRestrictions[], REFIID riid,
                                      ULONG cPropertySets, DBPROPSET rgPropertySets[],
                                      IUnknown** ppRowset) override;
  HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* pcSchemas, GUID** prgSchemas,
                                       ULONG** prgRestrictionSupport) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 protected:
  ~CSqliteSession() override;

 private:
  CSqliteDataSource* m_dataSource;  // holds a reference
  std::shared_ptr<CSqliteConnection> m_connection;
  std::mutex m_mutex;
  CPropertyStore m_properties;
};

HRESULT CreateSqliteSession(CSqliteDataSource* dataSource,
                            std::shared_ptr<CSqliteConnection> connection, REFIID riid,
                            void** ppv);
