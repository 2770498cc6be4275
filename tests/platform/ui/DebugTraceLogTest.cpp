#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#include "DebugTraceLog.h"
#include "stringapiset.h"

namespace {

QtMsgType g_type = QtFatalMsg;
QString g_message;

void Capture(QtMsgType type, const QMessageLogContext&, const QString& message) {
  g_type = type;
  g_message = message;
}

TEST(DebugTraceLogTest, TraceReachesTheDebugLogOneLineAtATime) {
  QtMessageHandler previousHandler = qInstallMessageHandler(&Capture);
  DebugTraceSink previousSink = SetDebugTraceSink(nullptr);
  RouteDebugTraceToLog();
  OutputDebugString("OnData\n");
  SetDebugTraceSink(previousSink);
  qInstallMessageHandler(previousHandler);
  EXPECT_EQ(g_type, QtDebugMsg);
  EXPECT_EQ(g_message, QStringLiteral("OnData"));
}

}  // namespace
