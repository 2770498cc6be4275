// Scanning a million rows of five columns through the SQLite provider as
// the rowset viewer reads them (GetNextRows of 20, GetData with every
// column bound as DBTYPE_STR | DBTYPE_BYREF, each string freed by the
// client), against stepping the same query with sqlite3 directly.
//
// The baseline does comparable work per cell: sqlite3_column_text, then a
// malloc of the text's length + 1, a memcpy and a free, just as the
// provider's client receives an allocated copy of every value and frees it.
// The "ratio" counter is provider time / baseline time in the same run.
// The text byte counters differ slightly: SQLite writes whole REAL values
// as "12.0" where the provider writes "12".
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "ComPtr.h"
#include "SqliteProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kColumns = 5;
constexpr const char* kQuery = "SELECT id, symbol, quantity, price, note FROM scan";

// The database is built once per run in the temporary folder and removed
// when the process ends.
class ScanDatabase {
 public:
  ScanDatabase() {
    m_path = (std::filesystem::temp_directory_path() /
              ("ravezov-scan-" + std::to_string(getpid()) + ".db"))
                 .string();
    sqlite3* db = nullptr;
    sqlite3_open(m_path.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                 "CREATE TABLE scan (id INTEGER PRIMARY KEY, symbol TEXT, quantity INTEGER,"
                 " price REAL, note TEXT);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)"
                 " INSERT INTO scan SELECT i, 'SYM' || (i % 97), i % 1000, (i % 5000) / 4.0,"
                 " 'note number ' || i FROM n;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~ScanDatabase() { std::filesystem::remove(m_path); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

const ScanDatabase& Database() {
  static ScanDatabase database;
  return database;
}

double RawScan(size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(Database().Path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0; c < kColumns; ++c) {
      const unsigned char* text = sqlite3_column_text(stmt, c);
      if (!text) continue;
      size_t n = static_cast<size_t>(sqlite3_column_bytes(stmt, c));
      auto* copy = static_cast<char*>(std::malloc(n + 1));
      std::memcpy(copy, text, n + 1);
      bytes += n;
      benchmark::DoNotOptimize(copy);
      std::free(copy);
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double ProviderScan(size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  ComPtr<IDBInitialize> init;
  CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                   reinterpret_cast<void**>(&init));
  DBPROP props[2] = {};
  std::u16string path = AnsiToOle(Database().Path());
  props[0].dwPropertyID = DBPROP_INIT_DATASOURCE;
  props[0].vValue.vt = VT_BSTR;
  props[0].vValue.bstrVal = SysAllocString(path.c_str());
  props[1].dwPropertyID = DBPROP_INIT_MODE;
  props[1].vValue.vt = VT_I4;
  props[1].vValue.lVal = DB_MODE_READ;
  DBPROPSET set{props, 2, DBPROPSET_DBINIT};
  init.As<IDBProperties>()->SetProperties(1, &set);
  VariantClear(&props[0].vValue);
  if (FAILED(init->Initialize())) return -1;
  ComPtr<IDBCreateCommand> session;
  init.As<IDBCreateSession>()->CreateSession(nullptr, IID_IDBCreateCommand,
                                             reinterpret_cast<IUnknown**>(&session));
  ComPtr<ICommandText> command;
  session->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command));
  std::u16string sql = AnsiToOle(kQuery);
  command->SetCommandText(DBGUID_DBSQL, sql.c_str());
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));

  DBBINDING bindings[kColumns] = {};
  for (int c = 0; c < kColumns; ++c) {
    bindings[c].iOrdinal = static_cast<DBORDINAL>(c + 1);
    bindings[c].obValue = static_cast<DBBYTEOFFSET>(c * sizeof(char*));
    bindings[c].dwPart = DBPART_VALUE;
    bindings[c].dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    bindings[c].cbMaxLen = sizeof(char*);
    bindings[c].wType = DBTYPE_STR | DBTYPE_BYREF;
  }
  auto accessor = rowset.As<IAccessor>();
  HACCESSOR handle = 0;
  DBBINDSTATUS statuses[kColumns];
  accessor->CreateAccessor(DBACCESSOR_ROWDATA, kColumns, bindings, sizeof(char*) * kColumns,
                           &handle, statuses);
  char* row[kColumns];
  HROW rows[20];
  for (;;) {
    DBCOUNTITEM obtained = 0;
    HROW* p = rows;
    rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
    if (obtained == 0) break;
    for (DBCOUNTITEM r = 0; r < obtained; ++r) {
      std::memset(row, 0, sizeof row);
      rowset->GetData(rows[r], handle, row);
      for (char* text : row) {
        if (text) bytes += std::strlen(text);
        CoTaskMemFree(text);
      }
    }
    rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  }
  accessor->ReleaseAccessor(handle, nullptr);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ProviderScanAgainstRawSqlite(benchmark::State& state) {
  CoInitialize(nullptr);
  Database();
  double raw = 0, provider = 0;
  size_t rawBytes = 0, providerBytes = 0;
  for (auto _ : state) {
    raw += RawScan(rawBytes);
    provider += ProviderScan(providerBytes);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["raw_ms"] = raw / n * 1000;
  state.counters["provider_ms"] = provider / n * 1000;
  state.counters["ratio"] = provider / raw;
  state.counters["rows"] = kRows;
  state.counters["raw_text_bytes"] = static_cast<double>(rawBytes) / n;
  state.counters["provider_text_bytes"] = static_cast<double>(providerBytes) / n;
  CoUninitialize();
}
BENCHMARK(BM_ProviderScanAgainstRawSqlite)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
