// A command: one SQL statement per execution.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CommandBase.h"
#include "SqliteConnection.h"
#include "SqliteRowsetProperties.h"
#include "oledb.h"

class CSqliteCommand : public CCommandBase {
 public:
  CSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection);

  // ICommand
  HRESULT STDMETHODCALLTYPE Cancel() override;

 protected:
  HRESULT Run(const std::u16string& text, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
              IUnknown** ppRowset, std::vector<DBPROPID>& inError) override;
  HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                              ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT SetRowsetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;

 private:
  HRESULT RunWithoutRowset(struct sqlite3_stmt* stmt, DBROWCOUNT* pcRowsAffected);
  CSqliteRowsetProperties Properties();

  std::shared_ptr<CSqliteConnection> m_connection;
  CSqliteRowsetProperties m_properties;
};

HRESULT CreateSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection,
                            REFIID riid, void** ppv);
