// Reading the scan table as the Table Analyzer's Data view asks for it,
// with IRowsetLocate and IRowsetChange, through the SQLite provider: the
// table itself (a released row is read again by its key) and a result that
// is not one table's rows (the rows are kept packed). Each against stepping
// the same query with sqlite3 directly in the same run.
//
// Counters: "<case>_ratio" is provider time / raw time; "<case>_peak_B_cell"
// is the peak resident memory the provider's read added, per cell, while
// the rowset is still open; "text_B_cell" is the text a cell holds.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "ProviderScan.h"
#include "RawSqliteScan.h"
#include "ScanDatabase.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

const ScanDatabase& Database() {
  static ScanDatabase database("ravezov-bookmarks-");
  return database;
}

// The same columns, but an expression makes the result no table's rows.
constexpr const char* kPackedQuery = "SELECT id, symbol, quantity, price, note || '' FROM scan";

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double RawScan(const char* query, size_t& bytes) { return RawSqliteScan(Database().Path(), query, bytes); }

// The command as the Data view runs it: bookmarks and changes asked for.
ComPtr<IRowset> ExecuteForData(IDBCreateCommand* session, const char* query) {
  ComPtr<ICommandText> command;
  session->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command));
  command->SetCommandText(DBGUID_DBSQL, AnsiToOle(query).c_str());
  DBPROP props[2] = {};
  const DBPROPID ids[2] = {DBPROP_IRowsetLocate, DBPROP_IRowsetChange};
  for (int i = 0; i < 2; ++i) {
    props[i].dwPropertyID = ids[i];
    props[i].dwOptions = DBPROPOPTIONS_OPTIONAL;
    props[i].vValue.vt = VT_BOOL;
    props[i].vValue.boolVal = VARIANT_TRUE;
  }
  DBPROPSET set{props, 2, DBPROPSET_ROWSET};
  command.As<ICommandProperties>()->SetProperties(1, &set);
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

struct ProviderFigures {
  double seconds = 0;
  double peakBytes = 0;
};

ProviderFigures ProviderScanForData(const char* query, size_t& bytes) {
  ProviderFigures figures;
  ComPtr<IDBCreateCommand> session = OpenReadWriteSession(Database().Path());
  if (!session) return figures;
  ResetPeakMemory();
  const long before = StatusKilobytes("VmRSS:");
  auto start = std::chrono::steady_clock::now();
  ComPtr<IRowset> rowset = ExecuteForData(session.Get(), query);
  bytes += ScanAsViewer(rowset.Get());
  figures.seconds = Seconds(start);
  figures.peakBytes = static_cast<double>(StatusKilobytes("VmHWM:") - before) * 1024;
  return figures;
}

void Report(benchmark::State& state, const std::string& name, double raw, const ProviderFigures& p) {
  const double cells = static_cast<double>(kScanRows) * kScanColumns;
  state.counters[name + "_ratio"] = p.seconds / raw;
  state.counters[name + "_ms"] = p.seconds * 1000;
  state.counters[name + "_peak_B_cell"] = p.peakBytes / cells;
}

void BM_DataRoadAgainstRawSqlite(benchmark::State& state) {
  CoInitialize(nullptr);
  Database();
  for (auto _ : state) {
    size_t rawBytes = 0, keyedBytes = 0, packedBytes = 0;
    const double raw = RawScan(kScanQuery, rawBytes);
    const ProviderFigures keyed = ProviderScanForData(kScanQuery, keyedBytes);
    const double rawPacked = RawScan(kPackedQuery, rawBytes);
    const ProviderFigures packed = ProviderScanForData(kPackedQuery, packedBytes);
    state.counters["raw_ms"] = raw * 1000;
    Report(state, "by_key", raw, keyed);
    Report(state, "packed", rawPacked, packed);
    state.counters["text_B_cell"] = static_cast<double>(keyedBytes) / (static_cast<double>(kScanRows) * kScanColumns);
  }
  CoUninitialize();
}
BENCHMARK(BM_DataRoadAgainstRawSqlite)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
