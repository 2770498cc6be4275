#include "SqliteSavepoint.h"

#include <sqlite3.h>

CSqliteSavepoint::CSqliteSavepoint(sqlite3* db) : m_db(db) {
  m_status = sqlite3_exec(m_db, "SAVEPOINT ravezov_change", nullptr, nullptr, nullptr);
  m_open = m_status == SQLITE_OK;
}

CSqliteSavepoint::~CSqliteSavepoint() {
  if (!m_open) return;
  sqlite3_exec(m_db, "ROLLBACK TO ravezov_change", nullptr, nullptr, nullptr);
  sqlite3_exec(m_db, "RELEASE ravezov_change", nullptr, nullptr, nullptr);
}

int CSqliteSavepoint::Release() {
  int rc = sqlite3_exec(m_db, "RELEASE ravezov_change", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) m_open = false;
  return rc;
}
