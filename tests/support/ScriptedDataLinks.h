// A Data Links class for tests, registered over the real one for a scope:
// instead of a dialog it answers with a scripted choice, a data source for
// an initialization string, a cancel or a failure. Header-only.
#pragma once

#include <string>

#include "ClassRegistry.h"
#include "ComObject.h"
#include "msdasc.h"
#include "objbase.h"
#include "stringapiset.h"

struct DataLinksScript {
  // The data source chosen, as an initialization string; empty cancels.
  std::string initString;
  HRESULT failure = S_OK;  // a failure other than cancel, when set
  int prompts = 0;
  HWND lastParent = nullptr;
  DBPROMPTOPTIONS lastOptions = 0;
};

class ScriptedDataLinks : public ComObject<IDBPromptInitialize> {
 public:
  explicit ScriptedDataLinks(DataLinksScript& script) : m_script(script) {}

  HRESULT STDMETHODCALLTYPE PromptDataSource(IUnknown*, HWND parent, DBPROMPTOPTIONS options, ULONG, DBSOURCETYPE*,
                                             LPCOLESTR, REFIID riid, IUnknown** dataSource) override {
    ++m_script.prompts;
    m_script.lastParent = parent;
    m_script.lastOptions = options;
    *dataSource = nullptr;
    if (FAILED(m_script.failure)) return m_script.failure;
    if (m_script.initString.empty()) return DB_E_CANCELED;
    IDataInitialize* dataInitialize = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                                  reinterpret_cast<void**>(&dataInitialize));
    if (FAILED(hr)) return hr;
    const std::u16string text = AnsiToOle(m_script.initString);
    hr = dataInitialize->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), riid, dataSource);
    dataInitialize->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE PromptFileName(HWND, DBPROMPTOPTIONS, LPCOLESTR, LPCOLESTR, LPOLESTR*) override {
    return E_NOTIMPL;
  }

 private:
  DataLinksScript& m_script;
};

// Registers the scripted class for its lifetime; `script` says what the
// next prompts answer.
class ScopedScriptedDataLinks {
 public:
  ScopedScriptedDataLinks()
      : m_registration(ClassEntry{CLSID_DataLinks, "Ravezov.DataLinks.Test", "Scripted Data Links",
                                  ClassKind::Service, [this](REFIID riid, void** ppv) {
                                    return ComObject<IDBPromptInitialize>::CreateInstance<ScriptedDataLinks>(
                                        riid, ppv, script);
                                  }}) {}
  DataLinksScript script;

 private:
  CScopedClassRegistration m_registration;
};

// Registers a Data Links class that cannot be created.
class ScopedMissingDataLinks {
 public:
  ScopedMissingDataLinks()
      : m_registration(ClassEntry{CLSID_DataLinks, "Ravezov.DataLinks.Missing", "Missing Data Links",
                                  ClassKind::Service, [](REFIID, void** ppv) {
                                    *ppv = nullptr;
                                    return REGDB_E_CLASSNOTREG;
                                  }}) {}

 private:
  CScopedClassRegistration m_registration;
};
