// Loading a million rows of five columns into the rowset viewer, offscreen,
// against the raw provider scan in the same run: the scan reads the rows as
// the viewer does (GetNextRows of 20, every column bound as DBTYPE_STR |
// DBTYPE_BYREF, each string freed) and keeps nothing.
//
// Figures: ratio (viewer load time / scan time), bytes per cell beyond the
// texts (the list's own count, and the peak resident memory of the load
// less the texts), time to the first painted screenful of rows after the
// dialog is asked to open, and the longest gap between ticks of a 2 ms
// timer on the user-interface thread while rows load. The same ratio in
// processor time of the whole process ("cpu_ratio"), which a machine busy
// with other work disturbs far less than the elapsed time.
//
// The second benchmark takes the user's road: the table opened as the Table
// Analyzer's Data opens it (IRowsetLocate and IRowsetChange required, the
// viewer editable, so every row's bookmark is kept), against the same raw
// scan. A million rows by default; five million with RAVEZOV_BENCH_LARGE
// set, to show how the cost grows.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "ComPtr.h"
#include "CpuTime.h"
#include "ProviderScan.h"
#include "ScanDatabase.h"
#include "ViewerLoad.h"
#include "objbase.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

const ScanDatabase& Database() {
  static ScanDatabase database("ravezov-viewer-");
  return database;
}

// RAVEZOV_BENCH_ROWS picks another count, e.g. a small one to run the
// benchmark under an instruction-counting profiler.
int TableDataRows() {
  if (const char* rows = std::getenv("RAVEZOV_BENCH_ROWS"); rows && std::atoi(rows) > 0) return std::atoi(rows);
  return std::getenv("RAVEZOV_BENCH_LARGE") ? 5 * kScanRows : kScanRows;
}

const ScanDatabase& TableDataDatabase() {
  static ScanDatabase database("ravezov-table-data-", TableDataRows());
  return database;
}

ComPtr<IRowset> Execute(IDBCreateCommand* session) { return ExecuteQuery(session, kScanQuery); }

// Elapsed and processor seconds.
std::pair<double, double> ProviderScan(IDBCreateCommand* session) {
  const double cpuStart = ProcessCpuSeconds();
  const auto start = Clock::now();
  ScanAsViewer(Execute(session).Get());
  return {Seconds(start, Clock::now()), ProcessCpuSeconds() - cpuStart};
}

void Report(benchmark::State& state, double scan, double scanCpu, const ViewerFigures& viewer) {
  state.counters["scan_ms"] = scan * 1000;
  state.counters["cpu_ratio"] = viewer.cpuSeconds / scanCpu;
  state.counters["ratio"] = viewer.loadSeconds / scan;
  ReportViewerFigures(state, viewer);
}

void BM_ViewerLoadAgainstProviderScan(benchmark::State& state) {
  CoInitialize(nullptr);
  Database();
  ComPtr<IDBCreateCommand> session = OpenReadOnlySession(Database().Path());
  std::pair<double, double> scan;
  ViewerFigures viewer;
  for (auto _ : state) {
    scan = ProviderScan(session.Get());
    viewer = ViewerLoad([&] { return Execute(session.Get()); }, false);
  }
  Report(state, scan.first, scan.second, viewer);
  session.Reset();
  CoUninitialize();
}
BENCHMARK(BM_ViewerLoadAgainstProviderScan)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TableDataLoadAgainstProviderScan(benchmark::State& state) {
  CoInitialize(nullptr);
  const std::string path = TableDataDatabase().Path();
  ComPtr<IDBCreateCommand> readOnly = OpenReadOnlySession(path);
  ComPtr<IDBCreateCommand> session = OpenReadWriteSession(path);
  std::pair<double, double> scan;
  double tableScan = 0;
  ViewerFigures viewer;
  for (auto _ : state) {
    scan = ProviderScan(readOnly.Get());
    viewer = ViewerLoad([&] { return ExecuteAsTableData(session.Get(), "select * from scan"); }, true);
    // The same rowset read raw: what of the load is the provider's own.
    // After the viewer, so the memory it frees does not hide the viewer's peak.
    const auto start = Clock::now();
    ScanAsViewer(ExecuteAsTableData(session.Get(), "select * from scan").Get());
    tableScan = Seconds(start, Clock::now());
  }
  Report(state, scan.first, scan.second, viewer);
  state.counters["table_data_scan_ms"] = tableScan * 1000;
  state.counters["ratio_to_table_data_scan"] = viewer.loadSeconds / tableScan;
  readOnly.Reset();
  session.Reset();
  CoUninitialize();
}
BENCHMARK(BM_TableDataLoadAgainstProviderScan)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
