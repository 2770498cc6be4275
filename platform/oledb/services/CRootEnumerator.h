// The root enumerator: one row for every registered provider and enumerator.
#pragma once

#include "ComObject.h"
#include "oleauto.h"
#include "oledb.h"

class CRootEnumerator : public ComObject<ISourcesRowset, ISupportErrorInfo> {
 public:
  static constexpr const char* kProgId = "Ravezov.Enumerator";

  // ISourcesRowset
  HRESULT STDMETHODCALLTYPE GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid, ULONG cPropertySets,
                                             DBPROPSET rgProperties[],
                                             IUnknown** ppSourcesRowset) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  HRESULT Fail(HRESULT hr, std::string_view description) const;
  // Marks every requested rowset property as not supported; the rowset has
  // none to set. Returns S_OK, DB_S_ERRORSOCCURRED (only optional ones) or
  // DB_E_ERRORSOCCURRED (a required one).
  static HRESULT RefuseProperties(ULONG cPropertySets, DBPROPSET rgProperties[]);
};
