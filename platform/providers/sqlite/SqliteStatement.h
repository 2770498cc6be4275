// A prepared statement that finalizes itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "NativeValue.h"

struct sqlite3;
struct sqlite3_stmt;

class CSqliteStatement {
 public:
  CSqliteStatement() = default;
  // Prepares the first statement of sql; `tail` receives what follows it.
  int Prepare(sqlite3* db, std::string_view sql, std::string_view* tail = nullptr);
  sqlite3_stmt* Get() const { return m_stmt.get(); }
  explicit operator bool() const { return m_stmt != nullptr; }

  int Step();
  void Reset();
  int ColumnCount() const;
  void Bind(int index, const NativeValueView& value);
  NativeValueView Column(int index) const;
  std::string Text(int index) const;
  int64_t Integer(int index) const;
  bool IsNull(int index) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* s) const;
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
};

// Whether text holds nothing but white space, comments and semicolons.
bool IsEmptySqlTail(std::string_view tail);
// "name" with embedded quotes doubled.
std::string QuoteIdentifier(std::string_view name);
