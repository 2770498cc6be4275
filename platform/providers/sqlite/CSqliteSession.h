// The session: schema rowsets, tables opened by name, commands.
#pragma once

#include <memory>

#include "SessionBase.h"
#include "SqliteConnection.h"
#include "oledb.h"

class CSqliteDataSource;

class CSqliteSession : public CSessionBase {
 public:
  CSqliteSession(CSqliteDataSource* dataSource, std::shared_ptr<CSqliteConnection> connection);

 protected:
  ~CSqliteSession() override;
  HRESULT OpenTable(const std::u16string& name, REFIID riid, ULONG cPropertySets, DBPROPSET rgPropertySets[],
                    IUnknown** ppRowset) override;
  HRESULT NewCommand(REFIID riid, IUnknown** ppCommand) override;
  HRESULT SchemaRowset(REFGUID schema, ULONG cRestrictions, const VARIANT rgRestrictions[], REFIID riid,
                       IUnknown** ppRowset) override;
  HRESULT SupportedSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) override;

 private:
  CSqliteDataSource* m_dataSource;  // kept alive by the base's reference
  std::shared_ptr<CSqliteConnection> m_connection;
};

HRESULT CreateSqliteSession(CSqliteDataSource* dataSource,
                            std::shared_ptr<CSqliteConnection> connection, REFIID riid,
                            void** ppv);
