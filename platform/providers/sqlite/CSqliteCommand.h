// A command: one SQL statement per execution.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"
#include "SqliteConnection.h"
#include "SqliteRowsetProperties.h"
#include "oledb.h"

class CSqliteCommand
    : public ComObject<ICommandText, ICommandProperties, IConvertType, ISupportErrorInfo> {
 public:
  CSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection);

  // ICommand
  HRESULT STDMETHODCALLTYPE Cancel() override;
  HRESULT STDMETHODCALLTYPE Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams,
                                    DBROWCOUNT* pcRowsAffected, IUnknown** ppRowset) override;
  HRESULT STDMETHODCALLTYPE GetDBSession(REFIID riid, IUnknown** ppSession) override;
  // ICommandText
  HRESULT STDMETHODCALLTYPE GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) override;
  HRESULT STDMETHODCALLTYPE SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) override;
  // ICommandProperties
  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets,
                                          const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IConvertType
  HRESULT STDMETHODCALLTYPE CanConvert(DBTYPE wFromType, DBTYPE wToType,
                                       DBCONVERTFLAGS dwConvertFlags) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  HRESULT RunWithoutRowset(struct sqlite3_stmt* stmt, DBROWCOUNT* pcRowsAffected);
  HRESULT GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets);

  ComPtr<IUnknown> m_session;
  std::shared_ptr<CSqliteConnection> m_connection;
  std::mutex m_mutex;
  bool m_hasText = false;
  std::u16string m_text;
  CSqliteRowsetProperties m_properties;
  // Required properties the last execution could not honour, reported
  // through DBPROPSET_PROPERTIESINERROR.
  std::vector<DBPROPID> m_propertiesInError;
};

HRESULT CreateSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection,
                            REFIID riid, void** ppv);
