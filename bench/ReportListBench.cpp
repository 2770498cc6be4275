// Loading a million rows of five columns into the report list, 20 rows per
// batch as the rowset viewer delivers them, against copying the same texts
// into plain strings. Run offscreen; reports the memory the list spends per
// cell beyond the texts and how often it repainted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "CListCtrl.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kColumns = 5;
constexpr int kBatch = 20;

// Every cell's text, made once so both runs copy the same bytes.
struct SourceTexts {
  std::string blob;
  std::vector<size_t> offsets;
  std::vector<const char*> cells;
  size_t textBytes = 0;

  SourceTexts() {
    offsets.reserve(size_t{kRows} * kColumns);
    char text[64];
    for (int row = 0; row < kRows; ++row) {
      for (int c = 0; c < kColumns; ++c) {
        switch (c) {
          case 0: std::snprintf(text, sizeof text, "%d", row); break;
          case 1: std::snprintf(text, sizeof text, "Customer %d", row % 9973); break;
          case 2: std::snprintf(text, sizeof text, "%d.%02d", row % 100000, row % 100); break;
          case 3: std::snprintf(text, sizeof text, "2024-%02d-%02d 10:%02d:00", row % 12 + 1, row % 28 + 1, row % 60); break;
          default: std::snprintf(text, sizeof text, "note %d for the row", row % 1000); break;
        }
        offsets.push_back(blob.size());
        blob += text;
        blob += '\0';
        textBytes += std::char_traits<char>::length(text);
      }
    }
    cells.reserve(offsets.size());
    for (const size_t offset : offsets) cells.push_back(blob.c_str() + offset);
  }
};

const SourceTexts& Source() {
  static const SourceTexts source;
  return source;
}

// An owner-drawn report list of kColumns columns, not yet shown.
void CreateList(CListCtrl& list, int columnWidth) {
  list.Create(LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL, RECT{0, 0, 800, 600}, static_cast<QWidget*>(nullptr), 1000);
  for (int c = 0; c < kColumns; ++c)
    list.InsertColumn(c, ("Column " + std::to_string(c)).c_str(), LVCFMT_LEFT, columnWidth);
}

void BM_RawCopyIntoStrings(benchmark::State& state) {
  const SourceTexts& source = Source();
  for (auto _ : state) {
    std::vector<std::string> copies;
    for (int row = 0; row < kRows; row += kBatch)
      for (int cell = 0; cell < kBatch * kColumns; ++cell) copies.emplace_back(source.cells[size_t(row) * kColumns + cell]);
    benchmark::DoNotOptimize(copies.data());
    size_t heapBytes = 0;  // texts too long for the string's own buffer
    for (const std::string& copy : copies)
      if (copy.capacity() > 15) heapBytes += copy.capacity() + 1;
    const double total = static_cast<double>(copies.capacity() * sizeof(std::string) + heapBytes);
    state.counters["bytes_per_cell_beyond_text"] = (total - static_cast<double>(source.textBytes)) / copies.size();
  }
}

void BM_ReportListInsert(benchmark::State& state) {
  const SourceTexts& source = Source();
  for (auto _ : state) {
    CListCtrl list;
    CreateList(list, 120);
    list.View()->show();
    const int paintsBefore = list.View()->PaintCount();
    for (int row = 0; row < kRows; row += kBatch) {
      list.InsertItems(-1, kBatch, kColumns, source.cells.data() + size_t(row) * kColumns);
      // The user-interface thread runs its events between the loader's batches.
      QApplication::processEvents();
    }
    list.FlushPendingRepaint();
    QApplication::processEvents();
    const ReportListMemory memory = list.GetMemoryUsage();
    state.counters["bytes_per_cell_beyond_text"] = static_cast<double>(memory.overheadBytes) / memory.cells;
    state.counters["text_MB"] = static_cast<double>(memory.textBytes) / (1024 * 1024);
    state.counters["repaints"] = list.View()->PaintCount() - paintsBefore;
  }
}

// As the viewer loads: a worker thread hands each batch to the list's
// thread and waits; the list's thread keeps running its event loop.
void BM_ReportListInsertFromWorker(benchmark::State& state) {
  const SourceTexts& source = Source();
  for (auto _ : state) {
    CListCtrl list;
    CreateList(list, 120);
    list.View()->show();
    std::atomic<bool> done = false;
    std::thread loader([&] {
      for (int row = 0; row < kRows; row += kBatch)
        list.CallOnListThread([&] { list.InsertItems(-1, kBatch, kColumns, source.cells.data() + size_t(row) * kColumns); });
      done = true;
    });
    QElapsedTimer sinceLast;
    sinceLast.start();
    qint64 longestStall = 0;
    while (!done) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      longestStall = std::max(longestStall, sinceLast.restart());
    }
    loader.join();
    list.FlushPendingRepaint();
    QApplication::processEvents();
    state.counters["rows"] = list.GetItemCount();
    state.counters["longest_event_loop_gap_ms"] = static_cast<double>(longestStall);
  }
}

// One repaint of a full screen of a million-row list, through the
// owner-drawing hook.
void BM_ReportListRepaint(benchmark::State& state) {
  const SourceTexts& source = Source();
  CListCtrl list;
  CreateList(list, 150);
  list.InsertItems(-1, kRows, kColumns, source.cells.data());
  list.View()->show();
  for (int i = 0; i < 100 && !(list.View()->windowHandle() && list.View()->windowHandle()->isExposed()); ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  list.EnsureVisible(kRows / 2, FALSE);
  const int paintsBefore = list.View()->PaintCount();
  for (auto _ : state) list.UpdateWindow();
  state.counters["rows_per_screen"] = list.GetCountPerPage();
  state.counters["paints"] = list.View()->PaintCount() - paintsBefore;
}

BENCHMARK(BM_RawCopyIntoStrings)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportListInsert)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportListInsertFromWorker)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportListRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  Source();  // built before either run is timed
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
