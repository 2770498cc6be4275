// A savepoint that is rolled back unless released: a change that reports
// failure leaves the database as it found it.
#pragma once

struct sqlite3;

class CSqliteSavepoint {
 public:
  explicit CSqliteSavepoint(sqlite3* db);
  ~CSqliteSavepoint();
  CSqliteSavepoint(const CSqliteSavepoint&) = delete;
  CSqliteSavepoint& operator=(const CSqliteSavepoint&) = delete;

  // SQLite's result of opening the savepoint.
  int Status() const { return m_status; }
  // Keeps the changes; outside a transaction this commits them. On failure
  // (a lock at commit) the destructor still rolls back.
  int Release();

 private:
  sqlite3* m_db;
  int m_status;
  bool m_open = false;
};
