#include "COdbcTableWriter.h"

#include <charconv>

#include "OdbcDiagnostics.h"
#include "OdbcResultReader.h"
#include "stringapiset.h"

namespace {

std::u16string ColumnText(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  SQLWCHAR buffer[256];
  SQLSMALLINT bytes = 0;
  if (!OdbcOk(SQLColAttributeW(statement, column, field, buffer, sizeof buffer, &bytes, nullptr))) return {};
  return FromOdbcText(buffer, std::min<size_t>(bytes < 0 ? 0 : static_cast<size_t>(bytes) / sizeof(SQLWCHAR), 255));
}

// "select * from NAME" as the table views write it: the table when the
// driver does not say where columns come from.
std::optional<std::u16string> SimpleSelectTable(const std::u16string& sql) {
  std::string text = OleToAnsi(sql);
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string head = "select * from ";
  size_t start = lower.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || lower.compare(start, head.size(), head) != 0) return std::nullopt;
  std::string rest = text.substr(start + head.size());
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == ';' || rest.back() == '\n')) rest.pop_back();
  // Anything after the name (a join, a condition) is not one plain table.
  bool quoted = false;
  for (char c : rest) {
    if (c == '"' || c == '`') quoted = !quoted;
    if (!quoted && (c == ' ' || c == ',' || c == '(')) return std::nullopt;
  }
  return AnsiToOle(rest);
}

std::vector<std::u16string> PrimaryKeyColumns(COdbcConnection& connection, const OdbcTableName& table) {
  std::vector<std::u16string> key;
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, connection.Dbc())) return key;
  std::u16string catalog = table.catalog, schema = table.schema, name = table.name;
  if (!OdbcOk(SQLPrimaryKeysW(statement.Get(), catalog.empty() ? nullptr : OdbcText(catalog), SQL_NTS,
                              schema.empty() ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name), SQL_NTS)))
    return key;
  std::vector<OdbcTextRow> rows;
  if (!ReadAllRowsAsText(statement.Get(), rows)) return key;
  for (const auto& row : rows)
    if (row.size() > 3 && row[3]) key.push_back(AnsiToOle(*row[3]));
  return key;
}

// The columns that identify a row for the whole session, as the driver's
// best row identifier names them: only real, non-null columns. A pseudo
// column (a row address such as PostgreSQL's ctid, which moves when the
// row is updated) or a scope narrower than the session gives nothing.
std::vector<std::u16string> BestRowIdColumns(COdbcConnection& connection, const OdbcTableName& table) {
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, connection.Dbc())) return {};
  std::u16string catalog = table.catalog, schema = table.schema, name = table.name;
  if (!OdbcOk(SQLSpecialColumnsW(statement.Get(), SQL_BEST_ROWID, catalog.empty() ? nullptr : OdbcText(catalog),
                                 SQL_NTS, schema.empty() ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name),
                                 SQL_NTS, SQL_SCOPE_SESSION, SQL_NO_NULLS)))
    return {};
  std::vector<OdbcTextRow> rows;
  if (!ReadAllRowsAsText(statement.Get(), rows)) return {};
  std::vector<std::u16string> key;
  for (const auto& row : rows) {
    if (row.size() < 8 || !row[1]) return {};
    const bool pseudo = row[7] && *row[7] != std::to_string(SQL_PC_NOT_PSEUDO);
    const bool narrow = row[0] && *row[0] != std::to_string(SQL_SCOPE_SESSION);
    if (pseudo || narrow) return {};
    key.push_back(AnsiToOle(*row[1]));
  }
  return key;
}

// The columns of each unique index of the table, in index order. A row
// whose values there are not null is the only one with them.
std::vector<std::vector<std::u16string>> UniqueIndexes(COdbcConnection& connection, const OdbcTableName& table) {
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, connection.Dbc())) return {};
  std::u16string catalog = table.catalog, schema = table.schema, name = table.name;
  if (!OdbcOk(SQLStatisticsW(statement.Get(), catalog.empty() ? nullptr : OdbcText(catalog), SQL_NTS,
                             schema.empty() ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name), SQL_NTS,
                             SQL_INDEX_UNIQUE, SQL_QUICK)))
    return {};
  std::vector<OdbcTextRow> rows;
  if (!ReadAllRowsAsText(statement.Get(), rows)) return {};
  std::vector<std::vector<std::u16string>> indexes;
  std::optional<std::string> current;
  for (const auto& row : rows) {
    // Rows come ordered by index and position; the table's own row is none.
    if (row.size() < 9 || !row[5] || !row[8] || (row[3] && *row[3] != "0")) continue;
    if (*row[5] != current) indexes.emplace_back();
    current = *row[5];
    indexes.back().push_back(AnsiToOle(*row[8]));
  }
  return indexes;
}

// The result columns that hold every named key column; empty when one is
// missing from the result.
std::vector<size_t> KeyAmong(const std::vector<std::u16string>& keyColumns, const std::vector<OdbcWriteColumn>& columns) {
  std::vector<size_t> key;
  for (const auto& keyColumn : keyColumns) {
    size_t found = columns.size();
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i].name == keyColumn) found = i;
    if (found == columns.size()) return {};
    key.push_back(found);
  }
  return key;
}

// The first way to find a row again that the result's columns carry: the
// primary key, the driver's best row identifier, or a unique index.
std::vector<size_t> RowKey(COdbcConnection& connection, const OdbcTableName& table,
                           const std::vector<OdbcWriteColumn>& columns) {
  if (auto key = KeyAmong(PrimaryKeyColumns(connection, table), columns); !key.empty()) return key;
  if (auto key = KeyAmong(BestRowIdColumns(connection, table), columns); !key.empty()) return key;
  for (const auto& index : UniqueIndexes(connection, table))
    if (auto key = KeyAmong(index, columns); !key.empty()) return key;
  return {};
}

constexpr const char* kUnknownKey =
    "The row's key is not known (the server made it when the row was inserted); run the query again to change it.";

void Fill(ParameterBuffer& p, const NativeValue& v) {
  char number[64];
  switch (v.Kind()) {
    case NativeKind::Null: p.indicator = SQL_NULL_DATA; return;
    case NativeKind::Integer: p.text = AnsiToOle(std::to_string(v.Integer())); break;
    case NativeKind::Real: {
      auto end = std::to_chars(number, number + sizeof number, v.Real()).ptr;
      p.text = AnsiToOle(std::string(number, end));
      break;
    }
    case NativeKind::Text: p.text = AnsiToOle(v.Bytes()); break;
    case NativeKind::Blob: p.bytes = v.Bytes(); p.indicator = static_cast<SQLLEN>(p.bytes.size()); return;
  }
  p.indicator = static_cast<SQLLEN>(p.text.size() * sizeof(SQLWCHAR));
}

}  // namespace

COdbcTableWriter::COdbcTableWriter(COdbcConnection& connection, OdbcTableName table,
                                   std::vector<OdbcWriteColumn> columns, std::vector<size_t> key)
    : m_connection(connection), m_table(std::move(table)), m_columns(std::move(columns)), m_key(std::move(key)) {}

std::unique_ptr<COdbcTableWriter> COdbcTableWriter::ForResult(COdbcConnection& connection, SQLHSTMT statement,
                                                              const std::u16string& sql, std::string& why) {
  SQLSMALLINT count = 0;
  SQLNumResultCols(statement, &count);
  std::vector<OdbcWriteColumn> columns;
  std::u16string baseTable;
  bool oneTable = true;
  for (SQLSMALLINT i = 1; i <= count; ++i) {
    OdbcWriteColumn c;
    SQLWCHAR name[256];
    SQLSMALLINT nameLength = 0, nullable = 0;
    SQLDescribeColW(statement, static_cast<SQLUSMALLINT>(i), name, 256, &nameLength, &c.sqlType, &c.size, &c.digits,
                    &nullable);
    c.name = ColumnText(statement, static_cast<SQLUSMALLINT>(i), SQL_DESC_BASE_COLUMN_NAME);
    if (c.name.empty()) c.name = FromOdbcText(name, std::min<size_t>(nameLength < 0 ? 0 : nameLength, 255));
    std::u16string table = ColumnText(statement, static_cast<SQLUSMALLINT>(i), SQL_DESC_BASE_TABLE_NAME);
    if (i == 1) baseTable = table;
    else if (table != baseTable) oneTable = false;
    columns.push_back(std::move(c));
  }
  if (!oneTable) {
    why = "The result's columns come from more than one table.";
    return nullptr;
  }
  std::optional<OdbcTableName> table;
  if (auto named = SimpleSelectTable(sql)) table = FindOdbcTable(connection, *named);
  if (!table && !baseTable.empty()) table = FindOdbcTable(connection, baseTable);
  if (!table) {
    why = "The result does not come from one table that can be changed.";
    return nullptr;
  }
  std::vector<size_t> key = RowKey(connection, *table, columns);
  if (key.empty()) {
    why = "The table has no primary key, unique index or stable row identifier among the result's columns, so a "
          "changed row could not be found again.";
    return nullptr;
  }
  return std::unique_ptr<COdbcTableWriter>(new COdbcTableWriter(connection, std::move(*table), std::move(columns),
                                                                std::move(key)));
}

std::u16string COdbcTableWriter::WhereKey() const {
  std::u16string where;
  for (size_t k : m_key) {
    if (!where.empty()) where += u" AND ";
    where += QuoteOdbcIdentifier(m_connection.Info(), m_columns[k].name) + u" = ?";
  }
  return u" WHERE " + where;
}

HRESULT COdbcTableWriter::Update(const std::vector<NativeValue>& before,
                                 const std::vector<std::pair<size_t, NativeValue>>& changes, REFIID iid) {
  if (changes.empty()) return S_OK;
  if (!KeyKnown(before)) return PostOdbcError(DB_E_NOTSUPPORTED, iid, kUnknownKey);
  std::u16string sql = u"UPDATE " + QualifiedOdbcName(m_connection.Info(), m_table) + u" SET ";
  std::vector<std::pair<size_t, NativeValue>> parameters = changes;
  for (size_t i = 0; i < changes.size(); ++i) {
    if (i) sql += u", ";
    sql += QuoteOdbcIdentifier(m_connection.Info(), m_columns[changes[i].first].name) + u" = ?";
  }
  for (size_t k : m_key) parameters.emplace_back(k, before[k]);
  return Run(sql + WhereKey(), parameters, true, iid);
}

bool COdbcTableWriter::KeyKnown(const std::vector<NativeValue>& row) const {
  for (size_t k : m_key)
    if (row[k].IsNull()) return false;
  return true;
}

void COdbcTableWriter::ReadBackKey(const std::vector<std::pair<size_t, NativeValue>>& values,
                                   std::vector<NativeValue>& row) {
  std::u16string keys, where;
  for (size_t k : m_key) keys += (keys.empty() ? u"" : u", ") + QuoteOdbcIdentifier(m_connection.Info(), m_columns[k].name);
  std::vector<std::pair<size_t, NativeValue>> parameters;
  for (const auto& [column, value] : values) {
    if (value.IsNull() || value.Kind() == NativeKind::Blob) continue;
    where += (where.empty() ? u" WHERE " : u" AND ") + QuoteOdbcIdentifier(m_connection.Info(), m_columns[column].name) + u" = ?";
    parameters.emplace_back(column, value);
  }
  if (parameters.empty()) return;
  HRESULT hr = S_OK;
  COdbcHandle statement = m_connection.NewStatement(IID_IRowsetChange, hr);
  if (!statement) return;
  std::vector<ParameterBuffer> buffers(parameters.size());
  if (FAILED(BindParameters(statement.Get(), parameters, buffers, IID_IRowsetChange))) return;
  std::u16string sql = u"SELECT " + keys + u" FROM " + QualifiedOdbcName(m_connection.Info(), m_table) + where;
  std::vector<OdbcTextRow> rows;
  if (!OdbcOk(SQLExecDirectW(statement.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size()))) ||
      !ReadAllRowsAsText(statement.Get(), rows) || rows.size() != 1)
    return;  // not one row: the key stays unknown and later changes are refused
  for (size_t i = 0; i < m_key.size(); ++i)
    if (rows[0][i]) row[m_key[i]] = NativeValue::Text(*rows[0][i]);
}

HRESULT COdbcTableWriter::Insert(const std::vector<std::pair<size_t, NativeValue>>& values, REFIID iid,
                                 std::vector<NativeValue>& row) {
  row.assign(m_columns.size(), NativeValue());
  for (const auto& [column, value] : values) row[column] = value;
  std::u16string names, marks;
  for (const auto& [column, value] : values) {
    if (!names.empty()) {
      names += u", ";
      marks += u", ";
    }
    names += QuoteOdbcIdentifier(m_connection.Info(), m_columns[column].name);
    marks += u"?";
  }
  std::u16string sql = u"INSERT INTO " + QualifiedOdbcName(m_connection.Info(), m_table) +
                       (values.empty() ? u" DEFAULT VALUES" : u" (" + names + u") VALUES (" + marks + u")");
  HRESULT hr = Run(sql, values, true, iid);
  if (SUCCEEDED(hr) && !KeyKnown(row)) ReadBackKey(values, row);
  return hr;
}

HRESULT COdbcTableWriter::Delete(const std::vector<NativeValue>& before, REFIID iid) {
  if (!KeyKnown(before)) return PostOdbcError(DB_E_NOTSUPPORTED, iid, kUnknownKey);
  std::vector<std::pair<size_t, NativeValue>> parameters;
  for (size_t k : m_key) parameters.emplace_back(k, before[k]);
  return Run(u"DELETE FROM " + QualifiedOdbcName(m_connection.Info(), m_table) + WhereKey(), parameters, true, iid);
}

HRESULT COdbcTableWriter::SelectByKey(const std::vector<NativeValue>& key, SQLHSTMT statement, REFIID iid) {
  std::u16string columns;
  for (const OdbcWriteColumn& c : m_columns)
    columns += (columns.empty() ? u"" : u", ") + QuoteOdbcIdentifier(m_connection.Info(), c.name);
  std::vector<std::pair<size_t, NativeValue>> parameters;
  for (size_t i = 0; i < m_key.size() && i < key.size(); ++i) parameters.emplace_back(m_key[i], key[i]);
  std::vector<ParameterBuffer> buffers(parameters.size());
  if (HRESULT hr = BindParameters(statement, parameters, buffers, iid); FAILED(hr)) return hr;
  std::u16string sql = u"SELECT " + columns + u" FROM " + QualifiedOdbcName(m_connection.Info(), m_table) + WhereKey();
  if (!OdbcOk(SQLExecDirectW(statement, OdbcText(sql), static_cast<SQLINTEGER>(sql.size()))))
    return PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_STMT, statement, "The row could not be read again by its key.");
  return S_OK;
}

HRESULT COdbcTableWriter::BindParameters(SQLHSTMT statement,
                                         const std::vector<std::pair<size_t, NativeValue>>& parameters,
                                         std::vector<ParameterBuffer>& buffers, REFIID iid) {
  for (size_t i = 0; i < parameters.size(); ++i) {
    const auto& [column, value] = parameters[i];
    const OdbcWriteColumn& c = m_columns[column];
    ParameterBuffer& b = buffers[i];
    Fill(b, value);
    const bool binary = value.Kind() == NativeKind::Blob;
    SQLPOINTER data = binary ? static_cast<SQLPOINTER>(b.bytes.data()) : static_cast<SQLPOINTER>(b.text.data());
    SQLULEN size = c.size ? c.size : std::max<SQLULEN>(1, binary ? b.bytes.size() : b.text.size());
    if (!OdbcOk(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                 binary ? SQL_C_BINARY : SQL_C_WCHAR, c.sqlType, size, c.digits, data,
                                 b.indicator > 0 ? b.indicator : 0, &b.indicator)))
      return PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_STMT, statement, "A value could not be passed.");
  }
  return S_OK;
}

HRESULT COdbcTableWriter::Run(const std::u16string& text, const std::vector<std::pair<size_t, NativeValue>>& parameters,
                              bool expectOne, REFIID iid) {
  HRESULT hr = S_OK;
  COdbcHandle statement = m_connection.NewStatement(iid, hr);
  if (!statement) return hr;
  std::vector<ParameterBuffer> buffers(parameters.size());
  if (hr = BindParameters(statement.Get(), parameters, buffers, iid); FAILED(hr)) return hr;
  SQLHDBC dbc = m_connection.Dbc();
  SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
  std::u16string sql = text;
  SQLRETURN rc = SQLExecDirectW(statement.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size()));
  SQLLEN touched = -1;
  if (OdbcOk(rc) || rc == SQL_NO_DATA) SQLRowCount(statement.Get(), &touched);
  if (rc == SQL_NO_DATA) touched = 0;
  const bool failed = !OdbcOk(rc) && rc != SQL_NO_DATA;
  const bool wrongCount = !failed && expectOne && touched != 1;
  HRESULT result = S_OK;
  if (failed) {
    result = PostOdbcDiagnostics(DB_E_INTEGRITYVIOLATION, iid, SQL_HANDLE_STMT, statement.Get(), "The change failed.");
  } else if (wrongCount) {
    result = PostOdbcError(touched == 0 ? DB_E_DELETEDROW : E_FAIL, iid,
                           "The change would have touched " + std::to_string(touched) +
                               " rows instead of one; it was rolled back.");
  }
  SQLEndTran(SQL_HANDLE_DBC, dbc, failed || wrongCount ? SQL_ROLLBACK : SQL_COMMIT);
  SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  return result;
}
