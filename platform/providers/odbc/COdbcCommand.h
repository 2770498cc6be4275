// A command of the ODBC provider: text run with SQLExecDirect, rows
// affected reported, and Cancel through SQLCancel on the statement it runs.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "COdbcConnection.h"
#include "COdbcRowsetOptions.h"
#include "COdbcRunningStatement.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "oledb.h"

class COdbcCommand : public ComObject<ICommandText, ICommandProperties, IConvertType, ISupportErrorInfo> {
 public:
  COdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection);

  // ICommand
  HRESULT STDMETHODCALLTYPE Cancel() override;
  HRESULT STDMETHODCALLTYPE Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
                                    IUnknown** ppRowset) override;
  HRESULT STDMETHODCALLTYPE GetDBSession(REFIID riid, IUnknown** ppSession) override;
  // ICommandText
  HRESULT STDMETHODCALLTYPE GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) override;
  HRESULT STDMETHODCALLTYPE SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) override;
  // ICommandProperties
  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IConvertType
  HRESULT STDMETHODCALLTYPE CanConvert(DBTYPE wFromType, DBTYPE wToType, DBCONVERTFLAGS dwConvertFlags) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  ComPtr<IUnknown> m_session;
  std::shared_ptr<COdbcConnection> m_connection;
  std::mutex m_mutex;
  std::u16string m_text;
  bool m_hasText = false;
  COdbcRowsetOptions m_options;
  // The rowset properties the last Execute could not grant, for
  // DBPROPSET_PROPERTIESINERROR.
  HRESULT GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets);
  std::vector<DBPROPID> m_propertiesInError;
  // The statement this command runs right now, for Cancel; null otherwise.
  COdbcRunningStatement m_running;
};

HRESULT CreateOdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection, REFIID riid, void** ppv);
