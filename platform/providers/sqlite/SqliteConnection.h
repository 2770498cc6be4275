// One open SQLite database shared by a data source and everything made from
// it. Every use of the handle happens under Lock(): rowsets may be read on
// a loader thread while the user-interface thread waits on another object.
#pragma once

#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

class CSqliteConnection {
 public:
  ~CSqliteConnection();
  CSqliteConnection(const CSqliteConnection&) = delete;
  CSqliteConnection& operator=(const CSqliteConnection&) = delete;

  // Opens an existing file; never creates one. On failure returns null and
  // describes why in `error` (with SQLite's result code in `code`).
  static std::shared_ptr<CSqliteConnection> Open(const std::string& path, bool readOnly,
                                                 int busyTimeoutMs, std::string& error,
                                                 int& code);

  sqlite3* Handle() const { return m_db; }
  std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(m_mutex); }
  bool ReadOnly() const { return m_readOnly; }
  const std::string& Path() const { return m_path; }
  // Stops a running statement; safe from any thread.
  void Interrupt();

 private:
  CSqliteConnection(sqlite3* db, std::string path, bool readOnly);
  sqlite3* m_db;
  std::string m_path;
  bool m_readOnly;
  std::recursive_mutex m_mutex;
};
