#include "DebugTraceLog.h"

#include <QDebug>
#include <QString>

#include "stringapiset.h"

namespace {

void WriteToLog(const char* text) {
  QString line = QString::fromUtf8(text);
  // The log adds its own line end.
  if (line.endsWith(QLatin1Char('\n'))) line.chop(1);
  qDebug().noquote() << line;
}

}  // namespace

void RouteDebugTraceToLog() { SetDebugTraceSink(&WriteToLog); }
