// Sends the debug trace (OutputDebugString) to the toolkit's debug log
// channel, where a desktop program's diagnostics belong.
#pragma once

void RouteDebugTraceToLog();
