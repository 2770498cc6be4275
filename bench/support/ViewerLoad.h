// Opening a rowset in the rowset viewer, offscreen, and measuring the load
// as a user sees it, for the benchmarks that compare it with a raw scan.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>

#include "ComPtr.h"
#include "oledb.h"

struct ViewerFigures {
  double loadSeconds = 0;
  double cpuSeconds = 0;           // processor time of the load, every thread
  double firstScreenSeconds = -1;  // to the first paint of a full page of rows
  double longestStallMs = 0;       // the longest gap between 2 ms ticks while loading
  double listBytesPerCell = 0;
  double peakBytesPerCell = 0;     // peak resident memory of the load less the texts
  int rows = 0;
};

// Opens the rowset `open` gives (inside the measured time, as a page does
// before it shows the viewer) in the viewer and waits for every row.
ViewerFigures ViewerLoad(const std::function<ComPtr<IRowset>()>& open, bool editable);

// The viewer's own figures as counters of `state`: viewer_ms, rows, the
// bytes per cell beyond the texts, first_screen_ms and longest_ui_stall_ms.
void ReportViewerFigures(benchmark::State& state, const ViewerFigures& viewer);

// The main of a viewer benchmark: an offscreen application with the dialog
// templates registered, then every benchmark named on the command line.
int RunViewerBenchmarks(int argc, char** argv);
