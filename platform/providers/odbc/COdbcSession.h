// A session of the ODBC provider: commands, schema rowsets and tables
// opened by name, all on the data source's one connection.
#pragma once

#include <memory>
#include <mutex>

#include "COdbcConnection.h"
#include "ComObject.h"
#include "PropertyTable.h"
#include "oledb.h"

class COdbcDataSource;

class COdbcSession : public ComObject<IGetDataSource, IOpenRowset, ISessionProperties, IDBCreateCommand,
                                      IDBSchemaRowset, ISupportErrorInfo> {
 public:
  COdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection);

  // IGetDataSource
  HRESULT STDMETHODCALLTYPE GetDataSource(REFIID riid, IUnknown** ppDataSource) override;
  // IOpenRowset
  HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID, REFIID riid,
                                       ULONG cPropertySets, DBPROPSET rgPropertySets[], IUnknown** ppRowset) override;
  // ISessionProperties
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IDBCreateCommand
  HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppCommand) override;
  // IDBSchemaRowset
  HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                      const VARIANT rgRestrictions[], REFIID riid, ULONG cPropertySets,
                                      DBPROPSET rgPropertySets[], IUnknown** ppRowset) override;
  HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 protected:
  ~COdbcSession() override;

 private:
  COdbcDataSource* m_dataSource;  // holds a reference
  std::shared_ptr<COdbcConnection> m_connection;
  std::mutex m_mutex;
  CPropertyStore m_properties;
};

HRESULT CreateOdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection, REFIID riid,
                          void** ppv);
