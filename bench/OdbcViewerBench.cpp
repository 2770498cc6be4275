// The first screenful of the PostgreSQL sample's "Trades" table (12,000
// rows) in the rowset viewer, offscreen, through the ODBC provider, opened
// as the Table Analyzer's Data opens it (IRowsetLocate and IRowsetChange
// required, the viewer editable). Against it, in the same run, the raw ODBC
// time to the same first screen: the query run on a bound block cursor and
// the first 20 rows' cells taken as UTF-8.
//
// Needs RAVEZOV_ODBC_PG_DSN (scripts/test's cluster). Figures: first_screen_ms
// (the slowest of the runs), raw_first_screen_ms, ratio, viewer_ms (every
// row loaded). A second benchmark takes the same road over a million rows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "OdbcApi.h"
#include "OdbcSession.h"
#include "ProviderScan.h"
#include "RawBlockCursor.h"
#include "RawOdbcConnection.h"
#include "ScanDatabase.h"
#include "ViewerLoad.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr const char* kTableQuery = "select * from \"Trades\"";
constexpr SQLULEN kBlockRows = 500;
constexpr size_t kScreenRows = 20;

// Runs the query on a connection already open and reads the first
// screenful of rows, every cell as UTF-16 turned into UTF-8: the seconds.
double RawFirstScreen(const std::string& connection) {
  RawOdbcConnection c(connection);  // the page's before it opens the viewer: not counted
  const auto start = std::chrono::steady_clock::now();
  RawBlockCursor cursor(c, kTableQuery, kBlockRows, 256 * sizeof(SQLWCHAR));
  if (cursor.Fetch()) {
    for (SQLULEN r = 0; r < std::min<SQLULEN>(cursor.Fetched(), kScreenRows); ++r)
      for (size_t col = 0; col < cursor.Columns(); ++col) {
        const auto cell = cursor.Cell(col, r);
        if (!cell) continue;
        std::string text = OleToAnsi(*cell);
        benchmark::DoNotOptimize(text);
      }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return seconds;
}

void BM_OdbcPostgresViewerFirstScreen(benchmark::State& state) {
  const std::string connection = PostgresConnectionOrSkip(state);
  if (connection.empty()) return;
  CoInitialize(nullptr);
  ComPtr<IDBCreateCommand> session = OpenOdbcSession(connection);
  if (!session) std::abort();
  double firstScreen = 0, raw = 0, load = 0;
  int rows = 0;
  for (auto _ : state) {
    raw = std::max(raw, RawFirstScreen(connection));
    const ViewerFigures viewer = ViewerLoad([&] { return ExecuteAsTableData(session.Get(), kTableQuery); }, true);
    firstScreen = std::max(firstScreen, viewer.firstScreenSeconds);
    load = std::max(load, viewer.loadSeconds);
    rows = viewer.rows;
  }
  state.counters["first_screen_ms"] = firstScreen * 1000;
  state.counters["raw_first_screen_ms"] = raw * 1000;
  state.counters["ratio"] = firstScreen / raw;
  state.counters["viewer_ms"] = load * 1000;
  state.counters["rows"] = rows;
  session.Reset();
  CoUninitialize();
}
BENCHMARK(BM_OdbcPostgresViewerFirstScreen)->Iterations(5)->Unit(benchmark::kMillisecond);

// The same road over the million-row scan table: the whole load against
// the provider's own scan of it without bookmarks (as the viewer reads),
// with the viewer's figures.
void BM_OdbcPostgresTableDataLoad(benchmark::State& state) {
  const std::string connection = PostgresConnectionOrSkip(state);
  if (connection.empty()) return;
  LoadPostgresScanTable(connection);
  CoInitialize(nullptr);
  ComPtr<IDBCreateCommand> session = OpenOdbcSession(connection);
  if (!session) std::abort();
  double scan = 0;
  ViewerFigures viewer;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ScanAsViewer(ExecuteQuery(session.Get(), kScanQuery).Get());
    scan = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    viewer = ViewerLoad([&] { return ExecuteAsTableData(session.Get(), "select * from scan"); }, true);
  }
  state.counters["scan_ms"] = scan * 1000;
  state.counters["ratio"] = viewer.loadSeconds / scan;
  ReportViewerFigures(state, viewer);
  session.Reset();
  CoUninitialize();
}
BENCHMARK(BM_OdbcPostgresTableDataLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
