// Loading a million rows of five columns into the rowset viewer, offscreen,
// against the raw provider scan in the same run: the scan reads the rows as
// the viewer does (GetNextRows of 20, every column bound as DBTYPE_STR |
// DBTYPE_BYREF, each string freed) and keeps nothing.
//
// Figures: ratio (viewer load time / scan time), bytes per cell beyond the
// texts (the list's own count, and the peak resident memory of the load
// less the texts), time to the first painted screenful of rows after the
// dialog is asked to open, and the longest gap between ticks of a 2 ms
// timer on the user-interface thread while rows load.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "CEnumDialog.h"
#include "ComPtr.h"
#include "ReportListView.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "SqliteProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 1000000;
constexpr int kColumns = 5;
constexpr int kTickMs = 2;
constexpr const char* kQuery = "SELECT id, symbol, quantity, price, note FROM scan";

double Seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

class ScanDatabase {
 public:
  ScanDatabase() {
    m_path = (std::filesystem::temp_directory_path() / ("ravezov-viewer-" + std::to_string(getpid()) + ".db")).string();
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

ComPtr<IDBCreateCommand> OpenSession() {
  ComPtr<IDBInitialize> init;
  CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                   reinterpret_cast<void**>(&init));
  DBPROP props[2] = {};
  props[0].dwPropertyID = DBPROP_INIT_DATASOURCE;
  props[0].vValue.vt = VT_BSTR;
  props[0].vValue.bstrVal = SysAllocString(AnsiToOle(Database().Path()).c_str());
  props[1].dwPropertyID = DBPROP_INIT_MODE;
  props[1].vValue.vt = VT_I4;
  props[1].vValue.lVal = DB_MODE_READ;
  DBPROPSET set{props, 2, DBPROPSET_DBINIT};
  init.As<IDBProperties>()->SetProperties(1, &set);
  VariantClear(&props[0].vValue);
  ComPtr<IDBCreateCommand> session;
  if (FAILED(init->Initialize())) return session;
  init.As<IDBCreateSession>()->CreateSession(nullptr, IID_IDBCreateCommand, reinterpret_cast<IUnknown**>(&session));
  return session;
}

ComPtr<IRowset> Execute(IDBCreateCommand* session) {
  ComPtr<ICommandText> command;
  session->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command));
  command->SetCommandText(DBGUID_DBSQL, AnsiToOle(kQuery).c_str());
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

double ProviderScan(IDBCreateCommand* session) {
  const auto start = Clock::now();
  ComPtr<IRowset> rowset = Execute(session);
  DBBINDING bindings[kColumns] = {};
  for (int c = 0; c < kColumns; ++c) {
    bindings[c].iOrdinal = static_cast<DBORDINAL>(c + 1);
    bindings[c].obValue = static_cast<DBBYTEOFFSET>(c * sizeof(char*));
    bindings[c].dwPart = DBPART_VALUE;
    bindings[c].cbMaxLen = sizeof(char*);
    bindings[c].wType = DBTYPE_STR | DBTYPE_BYREF;
  }
  auto accessor = rowset.As<IAccessor>();
  HACCESSOR handle = 0;
  DBBINDSTATUS statuses[kColumns];
  accessor->CreateAccessor(DBACCESSOR_ROWDATA, kColumns, bindings, sizeof(char*) * kColumns, &handle, statuses);
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
        benchmark::DoNotOptimize(text);
        CoTaskMemFree(text);
      }
    }
    rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  }
  accessor->ReleaseAccessor(handle, nullptr);
  return Seconds(start, Clock::now());
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}

// Starts a new peak for VmHWM.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct ViewerFigures {
  double loadSeconds = 0;
  double firstScreenSeconds = -1;
  double longestStallMs = 0;
  double listBytesPerCell = 0;
  double peakBytesPerCell = 0;
  int rows = 0;
};

// Notes the first paint of the list that shows a full page of rows.
class FirstScreenWatch : public QObject {
 public:
  FirstScreenWatch(Clock::time_point start, double& seconds) : m_start(start), m_seconds(seconds) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || m_seconds >= 0) return false;
    auto* list = dynamic_cast<ReportListView*>(watched->parent());
    if (list && list->viewport() == watched && list->ItemCount() >= list->CountPerPage() && list->CountPerPage() > 0)
      m_seconds = Seconds(m_start, Clock::now());
    return false;
  }

 private:
  Clock::time_point m_start;
  double& m_seconds;
};

ViewerFigures ViewerLoad(IDBCreateCommand* session) {
  ViewerFigures figures;
  ResetPeakMemory();
  const long residentBefore = StatusKilobytes("VmRSS:");
  const auto start = Clock::now();
  FirstScreenWatch watch(start, figures.firstScreenSeconds);
  qApp->installEventFilter(&watch);
  CEnumDialog dialog(Execute(session).Detach(), "Data from query", 20);

  auto lastTick = Clock::now();
  bool seenLoading = false;
  QTimer ticks;
  ticks.setInterval(kTickMs);
  ticks.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    if (dialog.IsLoading()) {
      if (seenLoading) figures.longestStallMs = std::max(figures.longestStallMs, Seconds(lastTick, now) * 1000);
      seenLoading = true;
      lastTick = now;
      return;
    }
    if (!dialog.HasWindow()) return;
    ticks.stop();
    figures.loadSeconds = Seconds(start, now);
    const ReportListMemory memory = dialog.List().GetMemoryUsage();
    figures.rows = dialog.List().GetItemCount();
    figures.listBytesPerCell = static_cast<double>(memory.overheadBytes) / static_cast<double>(memory.cells);
    const double peak = static_cast<double>(StatusKilobytes("VmHWM:") - residentBefore) * 1024;
    figures.peakBytesPerCell = (peak - static_cast<double>(memory.textBytes)) / static_cast<double>(memory.cells);
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  ticks.start();
  dialog.DoModal();
  qApp->removeEventFilter(&watch);
  return figures;
}

void BM_ViewerLoadAgainstProviderScan(benchmark::State& state) {
  CoInitialize(nullptr);
  Database();
  ComPtr<IDBCreateCommand> session = OpenSession();
  double scan = 0;
  ViewerFigures viewer;
  for (auto _ : state) {
    scan = ProviderScan(session.Get());
    viewer = ViewerLoad(session.Get());
  }
  state.counters["scan_ms"] = scan * 1000;
  state.counters["viewer_ms"] = viewer.loadSeconds * 1000;
  state.counters["ratio"] = viewer.loadSeconds / scan;
  state.counters["rows"] = viewer.rows;
  state.counters["list_bytes_per_cell_beyond_text"] = viewer.listBytesPerCell;
  state.counters["peak_bytes_per_cell_beyond_text"] = viewer.peakBytesPerCell;
  state.counters["first_screen_ms"] = viewer.firstScreenSeconds * 1000;
  state.counters["longest_ui_stall_ms"] = viewer.longestStallMs;
  session.Reset();
  CoUninitialize();
}
BENCHMARK(BM_ViewerLoadAgainstProviderScan)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  RegisterDialogTemplates();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
