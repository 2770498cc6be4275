#include "OdbcTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <sstream>
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

// The driver manager unloads a driver when its last connection closes, and
// a leak the driver leaves behind is then reported without a module name,
// which no suppression can match. Drivers listed (colon-separated paths)
// stay loaded for the whole run, so their own leaks are named and suppressed
// by library while leaks in Ravezov's code still fail the test.
const bool g_driversKeptLoaded = [] {
  std::istringstream paths(Env("RAVEZOV_ODBC_DRIVER_LIBS").value_or(""));
  for (std::string path; std::getline(paths, path, ':');)
    if (!path.empty()) dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
  return true;
}();

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
