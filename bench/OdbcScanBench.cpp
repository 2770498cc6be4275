// Scanning a million rows of five columns through the ODBC provider as the
// rowset viewer reads them (GetNextRows of 20, every column bound as
// DBTYPE_STR | DBTYPE_BYREF and freed by the client), against a raw ODBC
// loop on the same driver and table in the same run: a bound block cursor
// of 500 rows, every cell taken as UTF-16, turned into UTF-8 and copied into
// a fresh allocation that is then freed, as the provider's client gets it.
//
// The SQLite driver reads the scan database file directly; with
// RAVEZOV_ODBC_PG_DSN set (scripts/test's cluster) the same table is also
// loaded into PostgreSQL and scanned there. "ratio" is provider / raw.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "OdbcApi.h"
#include "OdbcProvider.h"
#include "ProviderScan.h"
#include "ScanDatabase.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

const ScanDatabase& Database() {
  static ScanDatabase database("ravezov-odbc-scan-");
  return database;
}

std::string SqliteConnection() { return "Driver={SQLite3};Database=" + Database().Path(); }

std::string PostgresConnection() {
  const char* dsn = std::getenv("RAVEZOV_ODBC_PG_DSN");
  return dsn && *dsn ? std::string("DSN=") + dsn : std::string();
}

struct RawConnection {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  explicit RawConnection(const std::string& text) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::u16string wide = AnsiToOle(text);
    if (!OdbcOk(SQLDriverConnectW(dbc, nullptr, OdbcText(wide), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
      std::abort();
  }
  ~RawConnection() {
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
  void Run(const std::string& sql) const {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    std::u16string wide = AnsiToOle(sql);
    SQLExecDirectW(stmt, OdbcText(wide), SQL_NTS);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  }
};

// The scan table in PostgreSQL, made once per run (in a throwaway cluster).
void LoadPostgresScanTable(const std::string& connection) {
  static bool loaded = false;
  if (loaded || connection.empty()) return;
  RawConnection c(connection);
  c.Run("DROP TABLE IF EXISTS scan");
  c.Run("CREATE TABLE scan AS SELECT n AS id, 'SYM' || (n % 97) AS symbol, (n * 37) % 500 AS quantity, "
        "(n % 10000) / 100.0::float8 AS price, 'note ' || n AS note FROM generate_series(1, 1000000) AS g(n)");
  loaded = true;
}

double RawScan(const std::string& connection, size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  RawConnection c(connection);
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_STMT, c.dbc, &stmt);
  constexpr SQLULEN kRows = 500;
  constexpr SQLLEN kWidth = 128 * sizeof(SQLWCHAR);
  SQLULEN fetched = 0;
  SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRows), 0);
  SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  std::u16string query = AnsiToOle(kScanQuery);
  SQLExecDirectW(stmt, OdbcText(query), SQL_NTS);
  std::vector<std::vector<char>> buffers(kScanColumns, std::vector<char>(kRows * kWidth));
  std::vector<std::vector<SQLLEN>> indicators(kScanColumns, std::vector<SQLLEN>(kRows));
  for (int col = 0; col < kScanColumns; ++col)
    SQLBindCol(stmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_WCHAR, buffers[col].data(), kWidth, indicators[col].data());
  while (OdbcOk(SQLFetch(stmt))) {
    for (SQLULEN r = 0; r < fetched; ++r) {
      for (int col = 0; col < kScanColumns; ++col) {
        SQLLEN n = indicators[col][r];
        if (n == SQL_NULL_DATA) continue;
        std::string text = OleToAnsi(std::u16string_view(
            reinterpret_cast<const char16_t*>(buffers[col].data() + r * kWidth), static_cast<size_t>(n) / 2));
        auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
        std::memcpy(copy, text.c_str(), text.size() + 1);
        bytes += text.size();
        benchmark::DoNotOptimize(copy);
        std::free(copy);
      }
    }
  }
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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

double ProviderScan(const std::string& connection, size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  ComPtr<IDBCreateCommand> session = OpenOdbcSession(connection);
  if (!session) return -1;
  bytes += ScanAsViewer(ExecuteQuery(session.Get(), kScanQuery).Get());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Compare(benchmark::State& state, const std::string& connection) {
  CoInitialize(nullptr);
  double raw = 0, provider = 0;
  size_t rawBytes = 0, providerBytes = 0;
  for (auto _ : state) {
    raw += RawScan(connection, rawBytes);
    provider += ProviderScan(connection, providerBytes);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["raw_ms"] = raw / n * 1000;
  state.counters["provider_ms"] = provider / n * 1000;
  state.counters["ratio"] = provider / raw;
  state.counters["raw_text_bytes"] = static_cast<double>(rawBytes) / n;
  state.counters["provider_text_bytes"] = static_cast<double>(providerBytes) / n;
  CoUninitialize();
}

void BM_OdbcSqliteScanAgainstRawOdbc(benchmark::State& state) { Compare(state, SqliteConnection()); }
BENCHMARK(BM_OdbcSqliteScanAgainstRawOdbc)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_OdbcPostgresScanAgainstRawOdbc(benchmark::State& state) {
  const std::string connection = PostgresConnection();
  if (connection.empty()) {
    state.SkipWithError("RAVEZOV_ODBC_PG_DSN is not set");
    for (auto _ : state) {
    }
    return;
  }
  LoadPostgresScanTable(connection);
  Compare(state, connection);
}
BENCHMARK(BM_OdbcPostgresScanAgainstRawOdbc)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
