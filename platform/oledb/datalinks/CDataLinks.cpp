#include "CDataLinks.h"

#include <QApplication>
#include <algorithm>

#include "CDataLinkDialog.h"
#include "DataLinksTestHook.h"
#include "HwndMap.h"

namespace {

// The enumerator lists providers of the tabular kind only.
bool FilterAdmitsProviders(ULONG count, const DBSOURCETYPE* types) {
  if (count == 0) return true;
  return std::find(types, types + count, DBSOURCETYPE_DATASOURCE_TDP) != types + count;
}

// An existing data source to edit: its properties and its provider's class.
HRESULT DescribeExisting(IUnknown* dataSource, DataLinkRequest& request) {
  HRESULT hr = dataSource->QueryInterface(IID_IDBProperties, request.existing.ReleaseAndGetVoidAddress());
  if (FAILED(hr)) return E_INVALIDARG;
  ComPtr<IPersist> persist;
  if (FAILED(dataSource->QueryInterface(IID_IPersist, persist.ReleaseAndGetVoidAddress())))
    return E_NOTIMPL;
  return persist->GetClassID(&request.existingProvider);
}

}  // namespace

HRESULT CDataLinks::PromptDataSource(IUnknown* pUnkOuter, HWND hWndParent,
                                     DBPROMPTOPTIONS dwPromptOptions, ULONG cSourceTypeFilter,
                                     DBSOURCETYPE* rgSourceTypeFilter, LPCOLESTR pwszszzProviderFilter,
                                     REFIID riid, IUnknown** ppDataSource) {
  if (!ppDataSource || (cSourceTypeFilter > 0 && !rgSourceTypeFilter)) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  if (!QApplication::instance()) return E_UNEXPECTED;

  DataLinkRequest request;
  request.options = dwPromptOptions;
  request.riid = riid;
  if (*ppDataSource) {
    HRESULT hr = DescribeExisting(*ppDataSource, request);
    if (FAILED(hr)) return hr;
  }
  CProviderCatalog catalog;
  HRESULT hr = catalog.Load();
  if (FAILED(hr)) return hr;
  catalog.KeepOnly(pwszszzProviderFilter);
  if (!FilterAdmitsProviders(cSourceTypeFilter, rgSourceTypeFilter)) catalog = CProviderCatalog();

  CDataLinkDialog dialog(std::move(catalog), std::move(request), WidgetFromHwnd(hWndParent));
  if (ExecDataLinksDialog(dialog) != QDialog::Accepted) return DB_E_CANCELED;
  if (FAILED(dialog.Result())) return dialog.Result();
  // [in, out]: a replaced reference is released.
  IUnknown* previous = *ppDataSource;
  *ppDataSource = dialog.DataSource().Detach();
  if (previous) previous->Release();
  return S_OK;
}

HRESULT CDataLinks::PromptFileName(HWND, DBPROMPTOPTIONS, LPCOLESTR, LPCOLESTR,
                                   LPOLESTR* ppwszSelectedFile) {
  if (ppwszSelectedFile) *ppwszSelectedFile = nullptr;
  return E_NOTIMPL;
}
