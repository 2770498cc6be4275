// A session of the ODBC provider: commands, schema rowsets and tables
// opened by name, all on the data source's one connection.
#pragma once

#include <memory>

#include "COdbcConnection.h"
#include "SessionBase.h"
#include "oledb.h"

class COdbcDataSource;

class COdbcSession : public CSessionBase {
 public:
  COdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection);

 protected:
  ~COdbcSession() override;
  HRESULT OpenTable(const std::u16string& name, REFIID riid, ULONG cPropertySets, DBPROPSET rgPropertySets[],
                    IUnknown** ppRowset) override;
  HRESULT NewCommand(REFIID riid, IUnknown** ppCommand) override;
  HRESULT SchemaRowset(REFGUID schema, ULONG cRestrictions, const VARIANT rgRestrictions[], REFIID riid,
                       IUnknown** ppRowset) override;
  HRESULT SupportedSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) override;

 private:
  COdbcDataSource* m_dataSource;  // kept alive by the base's reference
  std::shared_ptr<COdbcConnection> m_connection;
};

HRESULT CreateOdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection, REFIID riid,
                          void** ppv);
