// The Data Links service component (CLSID_DataLinks): prompts the user for a
// provider and its initialization properties.
#pragma once

#include "ComObject.h"
#include "msdasc.h"

class CDataLinks : public ComObject<IDBPromptInitialize> {
 public:
  HRESULT STDMETHODCALLTYPE PromptDataSource(IUnknown* pUnkOuter, HWND hWndParent,
                                             DBPROMPTOPTIONS dwPromptOptions, ULONG cSourceTypeFilter,
                                             DBSOURCETYPE* rgSourceTypeFilter,
                                             LPCOLESTR pwszszzProviderFilter, REFIID riid,
                                             IUnknown** ppDataSource) override;
  // Choosing a file of saved initialization strings is not offered.
  HRESULT STDMETHODCALLTYPE PromptFileName(HWND hWndParent, DBPROMPTOPTIONS dwPromptOptions,
                                           LPCOLESTR pwszInitialDirectory, LPCOLESTR pwszInitialFile,
                                           LPOLESTR* ppwszSelectedFile) override;
};
