// What every provider's command does alike: argument checks, the command
// text and its dialect, the session it came from, its rowset properties
// (with DBPROPSET_PROPERTIESINERROR after a refused execution), type
// conversion and error support. A provider derives from it and supplies Run,
// Cancel and the rowset-property hooks.
//
// Every method here that fails leaves one error record naming the provider
// and the failing method's interface.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"
#include "oledb.h"

class CCommandBase : public ComObject<ICommandText, ICommandProperties, IConvertType, ISupportErrorInfo> {
 public:
  // ICommand (Cancel is the provider's)
  HRESULT STDMETHODCALLTYPE Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams,
                                    DBROWCOUNT* pcRowsAffected, IUnknown** ppRowset) override;
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

 protected:
  CCommandBase(IUnknown* session, REFCLSID provider, std::u16string errorSource);

  // Runs the text (never empty) once Execute has checked its arguments and
  // cleared its out-parameters. Required rowset properties the run could
  // not honour go in inError. Called without the command's lock.
  virtual HRESULT Run(const std::u16string& text, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
                      IUnknown** ppRowset, std::vector<DBPROPID>& inError) = 0;
  // The rowset properties the command holds; called under m_mutex.
  virtual HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                      ULONG* pcPropertySets, DBPROPSET** prgPropertySets) = 0;
  virtual HRESULT SetRowsetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) = 0;

  // Posts one error record for a failure of a method of `iid`; returns hr.
  HRESULT Fail(HRESULT hr, REFIID iid, std::string_view text) const;
  // What a rowset of this command names as its creator.
  IUnknown* Creator() { return static_cast<ICommandText*>(this); }

  std::mutex m_mutex;  // guards the text, the rowset properties and what failed

 private:
  HRESULT GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets);

  ComPtr<IUnknown> m_session;
  const CLSID m_provider;
  const std::u16string m_errorSource;
  bool m_hasText = false;
  std::u16string m_text;
  // Required properties the last execution could not honour.
  std::vector<DBPROPID> m_propertiesInError;
};
