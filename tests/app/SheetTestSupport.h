// What the sheet tests share: COM and the resources, and pages that record
// what happens to them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QTabBar>

#include "CDataSourcePage.h"
#include "MessageBoxRecorder.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "TestEnvironment.h"
#include "objbase.h"

class SheetTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllResources(); }
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }

  static std::string SampleInitString() {
    return std::string("Provider=Ravezov.SQLite;Data Source=") + SamplesDir() + "/trading.db";
  }

  // No real box ever waits for a click in a test.
  MessageBoxRecorder boxes;
};

using EventLog = std::vector<std::string>;

// A page that connects through the sheet and holds the data source's
// IDBProperties as its connection.
class RecordingPage : public CDataSourcePage {
 public:
  RecordingPage(std::string name, EventLog& log) : CDataSourcePage(IDD_COMMAND_PROCESSOR), m_name(std::move(name)), m_log(log) {}
  ~RecordingPage() override {
    m_log.push_back(m_name + " deleted");
    ReleaseInterface(m_held);
  }
  LRESULT OnQuerySiblings(WPARAM, LPARAM) override {
    m_log.push_back(m_name + " drop");
    ReleaseInterface(m_held);
    return 0;
  }
  void Connect() { ConnectThroughSheet(); }

  IDBProperties* m_held = nullptr;
  int m_attaches = 0;
  HRESULT m_attachResult = S_OK;

 protected:
  bool IsConnected() const override { return m_held != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override {
    ++m_attaches;
    if (FAILED(m_attachResult)) return m_attachResult;
    return dataSource->QueryInterface(IID_IDBProperties, reinterpret_cast<void**>(&m_held));
  }
  void ShowAttachFailure() override { MessageBox("Could not attach", nullptr, MB_ICONINFORMATION); }

 private:
  std::string m_name;
  EventLog& m_log;
};
