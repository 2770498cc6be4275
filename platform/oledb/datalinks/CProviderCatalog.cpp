#include "CProviderCatalog.h"

#include <cstddef>

#include "ComPtr.h"
#include "msdaguid.h"
#include "objbase.h"

namespace {

constexpr DBLENGTH kTextChars = 256;

// One row of the sources rowset as bound below.
struct SourceRow {
  OLECHAR name[kTextChars];
  DBSTATUS nameStatus;
  OLECHAR parseName[kTextChars];
  DBSTATUS parseNameStatus;
  OLECHAR description[kTextChars];
  DBSTATUS descriptionStatus;
  USHORT type;
  DBSTATUS typeStatus;
};

DBBINDING Binding(DBORDINAL ordinal, DBTYPE type, size_t valueOffset, size_t statusOffset,
                  DBLENGTH maxLength) {
  DBBINDING binding{};
  binding.iOrdinal = ordinal;
  binding.obValue = static_cast<DBBYTEOFFSET>(valueOffset);
  binding.obStatus = static_cast<DBBYTEOFFSET>(statusOffset);
  binding.dwPart = DBPART_VALUE | DBPART_STATUS;
  binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  binding.eParamIO = DBPARAMIO_NOTPARAM;
  binding.cbMaxLen = maxLength;
  binding.wType = type;
  return binding;
}

// Releases the accessor it holds.
class CScopedAccessor {
 public:
  explicit CScopedAccessor(IAccessor* accessor) : m_accessor(accessor) {}
  ~CScopedAccessor() {
    if (m_handle) m_accessor->ReleaseAccessor(m_handle, nullptr);
  }
  CScopedAccessor(const CScopedAccessor&) = delete;
  CScopedAccessor& operator=(const CScopedAccessor&) = delete;
  HACCESSOR* Receive() { return &m_handle; }
  HACCESSOR Get() const { return m_handle; }

 private:
  IAccessor* m_accessor;
  HACCESSOR m_handle = 0;
};

QString RowText(const OLECHAR* text, DBSTATUS status) {
  return status == DBSTATUS_S_OK ? QString::fromUtf16(text) : QString();
}

}  // namespace

HRESULT CProviderCatalog::Load() {
  m_providers.clear();
  ComPtr<ISourcesRowset> enumerator;
  HRESULT hr = CoCreateInstance(CLSID_OLEDB_ENUMERATOR, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ISourcesRowset, enumerator.ReleaseAndGetVoidAddress());
  if (FAILED(hr)) return hr;
  ComPtr<IRowset> rowset;
  hr = enumerator->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr,
                                    reinterpret_cast<IUnknown**>(rowset.ReleaseAndGetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IAccessor> accessor = rowset.As<IAccessor>();
  if (!accessor) return E_NOINTERFACE;

  const DBBINDING bindings[] = {
      Binding(1, DBTYPE_WSTR, offsetof(SourceRow, name), offsetof(SourceRow, nameStatus),
              sizeof(SourceRow::name)),
      Binding(2, DBTYPE_WSTR, offsetof(SourceRow, parseName), offsetof(SourceRow, parseNameStatus),
              sizeof(SourceRow::parseName)),
      Binding(3, DBTYPE_WSTR, offsetof(SourceRow, description),
              offsetof(SourceRow, descriptionStatus), sizeof(SourceRow::description)),
      Binding(4, DBTYPE_UI2, offsetof(SourceRow, type), offsetof(SourceRow, typeStatus),
              sizeof(USHORT)),
  };
  CScopedAccessor handle(accessor);
  hr = accessor->CreateAccessor(DBACCESSOR_ROWDATA, 4, bindings, sizeof(SourceRow), handle.Receive(),
                                nullptr);
  if (FAILED(hr)) return hr;

  for (;;) {
    DBCOUNTITEM obtained = 0;
    HROW row = 0;
    HROW* rows = &row;
    hr = rowset->GetNextRows(0, 0, 1, &obtained, &rows);
    if (FAILED(hr)) return hr;
    if (obtained == 0) break;
    SourceRow data{};
    HRESULT got = rowset->GetData(row, handle.Get(), &data);
    rowset->ReleaseRows(1, &row, nullptr, nullptr, nullptr);
    if (FAILED(got)) return got;
    if (data.typeStatus != DBSTATUS_S_OK || data.type != DBSOURCETYPE_DATASOURCE_TDP) continue;
    ProviderInfo provider;
    provider.name = RowText(data.name, data.nameStatus);
    provider.description = RowText(data.description, data.descriptionStatus);
    if (provider.description.isEmpty()) provider.description = provider.name;
    if (data.parseNameStatus != DBSTATUS_S_OK || FAILED(CLSIDFromString(data.parseName, &provider.clsid)))
      continue;
    m_providers.push_back(std::move(provider));
  }
  return S_OK;
}

void CProviderCatalog::KeepOnly(LPCOLESTR multiStringFilter) {
  if (!multiStringFilter) return;
  std::vector<CLSID> allowed;
  for (LPCOLESTR entry = multiStringFilter; *entry; entry += OleStrLen(entry) + 1) {
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromString(entry, &clsid))) allowed.push_back(clsid);
  }
  std::erase_if(m_providers, [&](const ProviderInfo& provider) {
    for (const CLSID& clsid : allowed)
      if (clsid == provider.clsid) return false;
    return true;
  });
}

int CProviderCatalog::IndexOf(REFCLSID clsid) const {
  for (size_t i = 0; i < m_providers.size(); ++i)
    if (m_providers[i].clsid == clsid) return static_cast<int>(i);
  return -1;
}
