// A command of the ODBC provider: text run with SQLExecDirect, rows
// affected reported, and Cancel through SQLCancel on the statement it runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "COdbcConnection.h"
#include "COdbcRowsetOptions.h"
#include "COdbcRunningStatement.h"
#include "CommandBase.h"
#include "oledb.h"

class COdbcCommand : public CCommandBase {
 public:
  COdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection);

  // ICommand
  HRESULT STDMETHODCALLTYPE Cancel() override;

 protected:
  HRESULT Run(const std::u16string& text, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
              IUnknown** ppRowset, std::vector<DBPROPID>& inError) override;
  HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[], ULONG* pcPropertySets,
                              DBPROPSET** prgPropertySets) override;
  HRESULT SetRowsetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;

 private:
  COdbcRowsetOptions Options();

  std::shared_ptr<COdbcConnection> m_connection;
  COdbcRowsetOptions m_options;
  // The statement this command runs right now, for Cancel; null otherwise.
  COdbcRunningStatement m_running;
};

HRESULT CreateOdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection, REFIID riid, void** ppv);
