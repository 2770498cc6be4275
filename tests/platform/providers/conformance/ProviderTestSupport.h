// Helpers for provider tests: opening data sources, running commands and
// reading rows the way the application does (text by reference, 20 rows
// per fetch, or 256-byte text buffers).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "oledb.h"

struct ComApartment {
  ComApartment();
  ~ComApartment();
};

// Creates the provider and sets DBPROP_INIT_DATASOURCE (and the mode when
// given); Initialize is left to the caller.
ComPtr<IDBInitialize> CreateDataSource(REFCLSID clsid, const std::string& dataSource,
                                       std::optional<LONG> mode = std::nullopt);
ComPtr<IDBInitialize> OpenDataSource(REFCLSID clsid, const std::string& dataSource,
                                     std::optional<LONG> mode = std::nullopt);
ComPtr<IUnknown> CreateSession(IDBInitialize* dataSource);

struct CommandResult {
  HRESULT hr = E_FAIL;
  ComPtr<IRowset> rowset;
  DBROWCOUNT rowsAffected = -1;
};
// Rowset properties: (id, VT_BOOL true or VT_I4 value) all required.
struct RowsetProperty {
  DBPROPID id;
  LONG value;  // VT_BOOL when isBool
  bool isBool = true;
};
CommandResult Execute(IUnknown* session, const std::string& sql,
                      const std::vector<RowsetProperty>& properties = {},
                      ComPtr<ICommandText>* command = nullptr);

// Every row as text, null cells as nullopt.
using TextRow = std::vector<std::optional<std::string>>;
std::vector<TextRow> ReadAll(IRowset* rowset);
std::vector<std::string> ColumnNames(IUnknown* rowset);
std::vector<DBCOLUMNINFO> ColumnInfo(IUnknown* rowset);

// One column read through a 256-byte DBTYPE_STR binding with length and status.
struct BufferedText {
  std::string text;
  DBSTATUS status = 0;
  DBLENGTH length = 0;
};
std::vector<BufferedText> ReadColumnBuffered(IRowset* rowset, DBORDINAL ordinal);

// The descriptions of the records of the thread's error object.
std::vector<std::string> TakeErrorDescriptions();
// Takes the thread's error object and checks it holds exactly one record,
// of status hr, from the provider clsid, for a method of interface iid.
testing::AssertionResult TookOneRecord(HRESULT hr, REFIID iid, REFCLSID clsid);

ComPtr<IRowset> SchemaRowset(IUnknown* session, REFGUID schema,
                             const std::vector<std::optional<std::string>>& restrictions,
                             HRESULT* hr = nullptr);

// A row read with its bookmark, a key column and a value column as text.
struct KeyedRow {
  DBBKMARK bookmark;
  DBSTATUS keyStatus;
  char key[16];
  DBSTATUS valueStatus;
  char value[24];
};
// Binds a KeyedRow: the bookmark, then the key and the value columns as
// DBTYPE_STR with status, the value's buffer `valueWidth` bytes at most.
HACCESSOR KeyedRowAccessor(IUnknown* rowset, DBORDINAL keyOrdinal, DBORDINAL valueOrdinal,
                           DBLENGTH valueWidth = sizeof(KeyedRow::value));
// A binding of one column alone as `width` bytes of DBTYPE_STR, for a
// buffer of that size (to write the column from, or read it into).
HACCESSOR TextAccessor(IUnknown* rowset, DBORDINAL ordinal, DBLENGTH width);
// Reads every row 20 at a time through a KeyedRow accessor, releasing each
// batch: the bookmarks of the rows whose key is one of `wanted`, and in
// `total` how many rows there were.
std::vector<DBBKMARK> ReadReleasingAll(IRowset* rowset, HACCESSOR accessor, const std::vector<std::string>& wanted,
                                       size_t& total);

// A copy of a file under a fresh temporary name, removed by the destructor.
class TempFileCopy {
 public:
  explicit TempFileCopy(const std::string& source);
  ~TempFileCopy();
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};
