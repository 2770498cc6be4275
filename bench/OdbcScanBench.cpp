// Scanning a million rows of five columns through the ODBC provider as the
// rowset viewer reads them (GetNextRows of 20, every column bound as
// DBTYPE_STR | DBTYPE_BYREF and freed by the client), against a raw ODBC
// loop on the same driver and table in the same run: a bound block cursor
// of 500 rows, every cell taken as UTF-16, turned into UTF-8 and copied into
// a fresh allocation that is then freed, as the provider's client gets it.
//
// The SQLite driver reads the scan database file directly; with
// RAVEZOV_ODBC_PG_DSN set (scripts/test's cluster) the same table is also
// loaded into PostgreSQL and scanned there. "ratio" is provider / raw in
// elapsed time; "cpu_ratio" the same in this thread's processor time, which
// a busy machine disturbs less (the server's own work is not in it).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "OdbcApi.h"
#include "OdbcSession.h"
#include "ProviderScan.h"
#include "RawBlockCursor.h"
#include "RawOdbcConnection.h"
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

// Elapsed and processor seconds of one scan.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

class Stopwatch {
 public:
  Timing Read() const {
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count(), ThreadCpuSeconds() - m_cpu};
  }

 private:
  std::chrono::steady_clock::time_point m_wall = std::chrono::steady_clock::now();
  double m_cpu = ThreadCpuSeconds();
};

double HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

// `driverBytes`, when given, receives the heap the driver holds for the
// statement once every row has been read.
Timing RawScan(const std::string& connection, size_t& bytes, const char* sql = kScanQuery,
               double* driverBytes = nullptr) {
  const double heapBefore = HeapInUse();
  Stopwatch watch;
  RawOdbcConnection c(connection);
  RawBlockCursor cursor(c, sql, 500, 128 * sizeof(SQLWCHAR));
  while (cursor.Fetch()) {
    for (SQLULEN r = 0; r < cursor.Fetched(); ++r) {
      for (size_t col = 0; col < cursor.Columns(); ++col) {
        const auto cell = cursor.Cell(col, r);
        if (!cell) continue;
        std::string text = OleToAnsi(*cell);
        auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
        std::memcpy(copy, text.c_str(), text.size() + 1);
        bytes += text.size();
        benchmark::DoNotOptimize(copy);
        std::free(copy);
      }
    }
  }
  if (driverBytes) *driverBytes = HeapInUse() - heapBefore;
  return watch.Read();
}

Timing ProviderScan(const std::string& connection, size_t& bytes) {
  Stopwatch watch;
  ComPtr<IDBCreateCommand> session = OpenOdbcSession(connection);
  if (!session) std::abort();
  bytes += ScanAsViewer(ExecuteQuery(session.Get(), kScanQuery).Get());
  return watch.Read();
}

void Compare(benchmark::State& state, const std::string& connection) {
  CoInitialize(nullptr);
  Timing raw, provider;
  size_t rawBytes = 0, providerBytes = 0;
  for (auto _ : state) {
    const Timing r = RawScan(connection, rawBytes);
    const Timing p = ProviderScan(connection, providerBytes);
    raw.wall += r.wall;
    raw.cpu += r.cpu;
    provider.wall += p.wall;
    provider.cpu += p.cpu;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["raw_ms"] = raw.wall / n * 1000;
  state.counters["provider_ms"] = provider.wall / n * 1000;
  state.counters["ratio"] = provider.wall / raw.wall;
  state.counters["cpu_ratio"] = provider.cpu / raw.cpu;
  state.counters["raw_text_bytes"] = static_cast<double>(rawBytes) / n;
  state.counters["provider_text_bytes"] = static_cast<double>(providerBytes) / n;
  CoUninitialize();
}

void BM_OdbcSqliteScanAgainstRawOdbc(benchmark::State& state) { Compare(state, SqliteConnection()); }
BENCHMARK(BM_OdbcSqliteScanAgainstRawOdbc)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_OdbcPostgresScanAgainstRawOdbc(benchmark::State& state) {
  const std::string connection = PostgresConnectionOrSkip(state);
  if (connection.empty()) return;
  LoadPostgresScanTable(connection);
  Compare(state, connection);
}
BENCHMARK(BM_OdbcPostgresScanAgainstRawOdbc)->Iterations(3)->Unit(benchmark::kMillisecond);

// What a rowset with bookmarks keeps of a million rows read 20 at a time
// and released, as the Table Analyzer's Data reads them: over the keyed
// table only keys ("keyed"), for a result that is no table's rows (an
// expression) every row, packed ("packed"). "_B_row" is the heap memory
// in use while the rowset is still open, less that before it was opened,
// per row, which includes what the driver holds for the open statement
// ("_driver_B_row": the same measured at the end of the raw scan); "_ratio"
// is the read's time against the raw scan of the same query in the same run.
constexpr const char* kPackedQuery = "SELECT id, symbol, quantity, price, note || '' AS note FROM scan";

void Footprint(benchmark::State& state, const std::string& connection, const std::string& name, const char* query) {
  ComPtr<IDBCreateCommand> session = OpenOdbcSession(connection);
  if (!session) std::abort();
  size_t bytes = 0;
  double driverBytes = 0;
  const Timing raw = RawScan(connection, bytes, query, &driverBytes);
  const double before = HeapInUse();
  Stopwatch watch;
  ComPtr<IRowset> rowset = ExecuteWithBookmarks(session.Get(), query);
  if (!rowset) std::abort();
  bytes += ScanAsViewer(rowset.Get());
  const Timing provider = watch.Read();
  state.counters[name + "_B_row"] = (HeapInUse() - before) / kScanRows;
  state.counters[name + "_ratio"] = provider.wall / raw.wall;
  state.counters[name + "_driver_B_row"] = driverBytes / kScanRows;
}

void CompareFootprints(benchmark::State& state, const std::string& connection) {
  CoInitialize(nullptr);
  for (auto _ : state) {
    Footprint(state, connection, "keyed", kScanQuery);
    Footprint(state, connection, "packed", kPackedQuery);
  }
  CoUninitialize();
}

void BM_OdbcSqliteBookmarkFootprint(benchmark::State& state) { CompareFootprints(state, SqliteConnection()); }
BENCHMARK(BM_OdbcSqliteBookmarkFootprint)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OdbcPostgresBookmarkFootprint(benchmark::State& state) {
  const std::string connection = PostgresConnectionOrSkip(state);
  if (connection.empty()) return;
  LoadPostgresScanTable(connection);
  CompareFootprints(state, connection);
}
BENCHMARK(BM_OdbcPostgresBookmarkFootprint)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
