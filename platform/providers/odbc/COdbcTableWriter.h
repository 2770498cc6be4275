// Writes a rowset's changes back to its one base table: UPDATE, INSERT and
// DELETE generated with parameter markers, the row found by its primary
// key (without one, by the driver's best row identifier when that is made
// of real columns, or by a unique index), each in a transaction that is
// rolled back unless exactly one row was touched.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "COdbcConnection.h"
#include "NativeValue.h"
#include "OdbcTableName.h"

// A value as the text or bytes a parameter carries; the driver converts
// text to the column's type.
struct ParameterBuffer {
  std::u16string text;
  std::string bytes;
  SQLLEN indicator = 0;
};

struct OdbcWriteColumn {
  std::u16string name;      // the base column
  SQLSMALLINT sqlType = SQL_VARCHAR;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
};

class COdbcTableWriter {
 public:
  // The writer for a result whose columns all come from one table that has
  // a primary key, a stable row identifier or a unique index among them;
  // null with `why` set otherwise. The caller holds the connection's lock.
  static std::unique_ptr<COdbcTableWriter> ForResult(COdbcConnection& connection, SQLHSTMT statement,
                                                     const std::u16string& sql, std::string& why);

  // Each posts its error record for `iid` and returns the failure; nothing
  // is changed then. The caller holds the connection's lock.
  HRESULT Update(const std::vector<NativeValue>& before, const std::vector<std::pair<size_t, NativeValue>>& changes,
                 REFIID iid);
  // `row` receives the inserted row by result column; a key the server
  // made is read back when the given values find exactly that one row.
  HRESULT Insert(const std::vector<std::pair<size_t, NativeValue>>& values, REFIID iid, std::vector<NativeValue>& row);
  HRESULT Delete(const std::vector<NativeValue>& before, REFIID iid);

  // The result columns the table's key is made of, in key order.
  const std::vector<size_t>& KeyColumns() const { return m_key; }
  // Runs a SELECT of the result's columns for the row with these key
  // values (in KeyColumns() order) on `statement`, the values bound as
  // parameters; posts the driver's records on failure.
  HRESULT SelectByKey(const std::vector<NativeValue>& key, SQLHSTMT statement, REFIID iid);

 private:
  COdbcTableWriter(COdbcConnection& connection, OdbcTableName table, std::vector<OdbcWriteColumn> columns,
                   std::vector<size_t> key);
  // Runs one statement with its parameters in a transaction; `expectOne`
  // rolls back and reports unless exactly one row was touched.
  HRESULT Run(const std::u16string& sql, const std::vector<std::pair<size_t, NativeValue>>& parameters,
              bool expectOne, REFIID iid);
  HRESULT BindParameters(SQLHSTMT statement, const std::vector<std::pair<size_t, NativeValue>>& parameters,
                         std::vector<ParameterBuffer>& buffers, REFIID iid);
  std::u16string WhereKey() const;
  bool KeyKnown(const std::vector<NativeValue>& row) const;
  void ReadBackKey(const std::vector<std::pair<size_t, NativeValue>>& values, std::vector<NativeValue>& row);

  COdbcConnection& m_connection;
  OdbcTableName m_table;
  std::vector<OdbcWriteColumn> m_columns;  // one per result column
  std::vector<size_t> m_key;               // result columns of the key or row identifier
};
