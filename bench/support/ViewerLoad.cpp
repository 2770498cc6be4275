#include "ViewerLoad.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "CEnumDialog.h"
#include "CpuTime.h"
#include "ProcessMemory.h"
#include "ReportListView.h"
#include "ResourceIds.h"
#include "Resources.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTickMs = 2;

double Seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

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

}  // namespace

// The rowset is opened inside the measured time, as the page does before
// it shows the viewer.
ViewerFigures ViewerLoad(const std::function<ComPtr<IRowset>()>& open, bool editable) {
  ViewerFigures figures;
  ResetPeakMemory();
  const long residentBefore = StatusKilobytes("VmRSS:");
  const double cpuStart = ProcessCpuSeconds();
  const auto start = Clock::now();
  FirstScreenWatch watch(start, figures.firstScreenSeconds);
  qApp->installEventFilter(&watch);
  CEnumDialog dialog(open().Detach(), editable ? "Data from table" : "Data from query", 20);
  dialog.SetEditingEnabled(editable);

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
    figures.cpuSeconds = ProcessCpuSeconds() - cpuStart;
    const ReportListMemory memory = dialog.List().GetMemoryUsage();
    figures.rows = dialog.List().GetItemCount();
    // The grid's bookmarks count with the list's own overhead.
    const size_t overhead = memory.overheadBytes + dialog.List().Bookmarks().Bytes();
    figures.listBytesPerCell = static_cast<double>(overhead) / static_cast<double>(memory.cells);
    const double peak = static_cast<double>(StatusKilobytes("VmHWM:") - residentBefore) * 1024;
    figures.peakBytesPerCell = (peak - static_cast<double>(memory.textBytes)) / static_cast<double>(memory.cells);
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  ticks.start();
  dialog.DoModal();
  qApp->removeEventFilter(&watch);
  return figures;
}


void ReportViewerFigures(benchmark::State& state, const ViewerFigures& viewer) {
  state.counters["viewer_ms"] = viewer.loadSeconds * 1000;
  state.counters["rows"] = viewer.rows;
  state.counters["list_bytes_per_cell_beyond_text"] = viewer.listBytesPerCell;
  state.counters["peak_bytes_per_cell_beyond_text"] = viewer.peakBytesPerCell;
  state.counters["first_screen_ms"] = viewer.firstScreenSeconds * 1000;
  state.counters["longest_ui_stall_ms"] = viewer.longestStallMs;
}

int RunViewerBenchmarks(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  RegisterDialogTemplates();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
