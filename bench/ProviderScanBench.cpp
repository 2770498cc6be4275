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

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProviderScan.h"
#include "RawSqliteScan.h"
#include "ScanDatabase.h"
#include "objbase.h"

namespace {

const ScanDatabase& Database() {
  static ScanDatabase database("ravezov-scan-");
  return database;
}

double RawScan(size_t& bytes) { return RawSqliteScan(Database().Path(), kScanQuery, bytes); }

double ProviderScan(size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  ComPtr<IDBCreateCommand> session = OpenReadOnlySession(Database().Path());
  if (!session) return -1;
  bytes += ScanAsViewer(ExecuteQuery(session.Get(), kScanQuery).Get());
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
  state.counters["rows"] = kScanRows;
  state.counters["raw_text_bytes"] = static_cast<double>(rawBytes) / n;
  state.counters["provider_text_bytes"] = static_cast<double>(providerBytes) / n;
  CoUninitialize();
}
BENCHMARK(BM_ProviderScanAgainstRawSqlite)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
