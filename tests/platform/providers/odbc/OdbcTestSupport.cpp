#include "OdbcTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

#include "OdbcProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

void AddText(std::vector<DBPROP>& props, DBPROPID id, const std::string& text) {
  if (text.empty()) return;
  DBPROP p{};
  p.dwPropertyID = id;
  std::u16string wide = AnsiToOle(text);
  p.vValue.vt = VT_BSTR;
  p.vValue.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  props.push_back(p);
}

}  // namespace

std::optional<OdbcTarget> PostgresTarget() {
  auto dsn = Env("RAVEZOV_ODBC_PG_DSN");
  if (!dsn) return std::nullopt;
  return OdbcTarget{*dsn, Env("RAVEZOV_ODBC_PG_USER").value_or(""), Env("RAVEZOV_ODBC_PG_PASSWORD").value_or("")};
}

std::optional<OdbcTarget> SqliteOdbcTarget() {
  auto dsn = Env("RAVEZOV_ODBC_SQLITE_DSN");
  if (!dsn) return std::nullopt;
  return OdbcTarget{*dsn, "", ""};
}

ComPtr<IDBInitialize> CreateOdbcDataSource(const std::string& dsn, const std::string& user,
                                           const std::string& password, const std::string& extended) {
  ComPtr<IDBInitialize> init;
  if (FAILED(CoCreateInstance(CLSID_RavezovODBC, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                              reinterpret_cast<void**>(&init))))
    return nullptr;
  std::vector<DBPROP> props;
  AddText(props, DBPROP_INIT_DATASOURCE, dsn);
  AddText(props, DBPROP_AUTH_USERID, user);
  AddText(props, DBPROP_AUTH_PASSWORD, password);
  AddText(props, DBPROP_INIT_PROVIDERSTRING, extended);
  DBPROPSET set{props.data(), static_cast<ULONG>(props.size()), DBPROPSET_DBINIT};
  HRESULT hr = init.As<IDBProperties>()->SetProperties(1, &set);
  for (auto& p : props) VariantClear(&p.vValue);
  return SUCCEEDED(hr) ? init : nullptr;
}
