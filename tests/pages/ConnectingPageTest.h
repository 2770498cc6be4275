// A page's sheet whose Connect goes through scripted Data Links that
// answer with a given initialization string. Header-only.
#pragma once

#include <string>

#include "PageSheetTest.h"
#include "ScriptedDataLinks.h"

namespace pagetest {

template <class Page>
class ConnectingPageTest : public PageSheetTest<Page> {
 protected:
  void ConnectWith(const std::string& initString) {
    dataLinks.script.initString = initString;
    this->page->OnConnect();
  }
  // Connects the page under test to a SQLite database file.
  void Connect(const std::string& path) { ConnectWith(SqliteInitString(path)); }

  ScopedScriptedDataLinks dataLinks;
};

}  // namespace pagetest
