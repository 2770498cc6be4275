// The statement a command runs right now, for ICommand::Cancel from another
// thread. The lock makes clearing wait for a cancel under way, so a cancel
// never reaches a statement handle after it was freed.
#pragma once

#include <mutex>

#include "OdbcApi.h"

class COdbcRunningStatement {
 public:
  void Set(SQLHSTMT statement) {
    std::lock_guard lock(m_mutex);
    m_statement = statement;
  }
  void Clear() { Set(SQL_NULL_HSTMT); }
  void Cancel() {
    std::lock_guard lock(m_mutex);
    if (m_statement != SQL_NULL_HSTMT) SQLCancel(m_statement);
  }

 private:
  std::mutex m_mutex;
  SQLHSTMT m_statement = SQL_NULL_HSTMT;
};
