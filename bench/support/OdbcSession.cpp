#include "OdbcSession.h"

#include <cstdlib>

#include "OdbcProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

ComPtr<IDBCreateCommand> OpenOdbcSession(const std::string& connection) {
  ComPtr<IDBInitialize> init;
  if (FAILED(CoCreateInstance(CLSID_RavezovODBC, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                              reinterpret_cast<void**>(&init))))
    return nullptr;
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_INIT_PROVIDERSTRING;
  std::u16string wide = AnsiToOle(connection);
  prop.vValue.vt = VT_BSTR;
  prop.vValue.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  DBPROPSET set{&prop, 1, DBPROPSET_DBINIT};
  init.As<IDBProperties>()->SetProperties(1, &set);
  VariantClear(&prop.vValue);
  if (FAILED(init->Initialize())) return nullptr;
  ComPtr<IDBCreateSession> factory = init.As<IDBCreateSession>();
  ComPtr<IDBCreateCommand> session;
  factory->CreateSession(nullptr, IID_IDBCreateCommand, reinterpret_cast<IUnknown**>(&session));
  return session;
}

std::string PostgresConnection() {
  const char* dsn = std::getenv("RAVEZOV_ODBC_PG_DSN");
  return dsn && *dsn ? std::string("DSN=") + dsn : std::string();
}

std::string PostgresConnectionOrSkip(benchmark::State& state) {
  std::string connection = PostgresConnection();
  if (connection.empty()) {
    state.SkipWithError("RAVEZOV_ODBC_PG_DSN is not set");
    for (auto _ : state) {
    }
  }
  return connection;
}
