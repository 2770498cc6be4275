#include "CDataSourceSheet.h"

#include <string>

#include "AppTitle.h"
#include "DataSourceInfo.h"
#include "OleDbErrors.h"
#include "ReleasePropertySet.h"
#include "msdasc.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// The friendly name as text; false when the provider does not give it.
bool ReadProviderName(IDBInitialize* dataSource, std::string& name) {
  VARIANT value;
  const bool found = ReadDataSourceInfo(dataSource, DBPROP_PROVIDERFRIENDLYNAME, value);
  name = found && value.vt == VT_BSTR && value.bstrVal ? OleToAnsi(value.bstrVal) : std::string();
  VariantClear(&value);
  return found;
}

}  // namespace

CDataSourceSheet::~CDataSourceSheet() { ReleaseDataSource(); }

void CDataSourceSheet::ReleaseDataSource() {
  if (m_pDataSource) {
    m_pDataSource->Release();
    m_pDataSource = nullptr;
  }
}

void CDataSourceSheet::ShowProviderInTitle() {
  std::string name;
  if (m_pDataSource && ReadProviderName(m_pDataSource, name))
    SetTitle((std::string(kAppTitle) + " - " + name).c_str(), 0);
}

HRESULT CDataSourceSheet::ConnectThroughDataLinks(IDBInitialize** ppDataSource, BOOL bInitialize) {
  if (!ppDataSource) return E_POINTER;
  *ppDataSource = nullptr;
  // The previous data source is given up before the user has chosen anything.
  ReleaseDataSource();
  IDBPromptInitialize* prompt = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_DataLinks, nullptr, CLSCTX_INPROC_SERVER, IID_IDBPromptInitialize,
                                reinterpret_cast<void**>(&prompt));
  if (FAILED(hr)) {
    MessageBox("Data Links object could not be created", nullptr, MB_ICONERROR);
    return hr;
  }
  hr = prompt->PromptDataSource(nullptr, GetSafeHwnd(), DBPROMPTOPTIONS_WIZARDSHEET, 0, nullptr, nullptr,
                                IID_IDBInitialize, reinterpret_cast<IUnknown**>(&m_pDataSource));
  prompt->Release();
  if (FAILED(hr) || !m_pDataSource) {
    m_pDataSource = nullptr;
    if (hr == DB_E_CANCELED) return hr;
    MessageBox("Data link wizard error.", nullptr, MB_ICONERROR);
    return FAILED(hr) ? hr : E_FAIL;
  }
  if (bInitialize) {
    hr = m_pDataSource->Initialize();
    if (FAILED(hr)) {
      // The report releases the sheet's reference.
      ShowOleDbErrors(m_pDataSource, IID_IDBInitialize, GetSafeHwnd(), TRUE);
      m_pDataSource = nullptr;
      return hr;
    }
  }
  ShowProviderInTitle();
  *ppDataSource = m_pDataSource;
  return hr;
}
