#include "OdbcSchemaRowsets.h"

#include <functional>

#include "OdbcDiagnostics.h"
#include "OdbcProvider.h"
#include "OdbcResultReader.h"
#include "OdbcTypes.h"
#include "SchemaRestrictions.h"
#include "SchemaRows.h"
#include "stringapiset.h"

namespace {

using Row = OdbcTextRow;

// A catalog function's call on a fresh statement.
using CatalogCall = std::function<SQLRETURN(SQLHSTMT)>;

struct SchemaContext {
  COdbcConnection& connection;
  const SchemaRestrictions& restrictions;
};

// Runs one catalog function and reads its rows; posts the driver's records on failure.
HRESULT RunCatalog(COdbcConnection& connection, const CatalogCall& call, std::vector<Row>& rows) {
  HRESULT hr = S_OK;
  COdbcHandle statement = connection.NewStatement(IID_IDBSchemaRowset, hr);
  if (!statement) return hr;
  if (!OdbcOk(call(statement.Get())) || !ReadAllRowsAsText(statement.Get(), rows))
    return PostOdbcDiagnostics(E_FAIL, IID_IDBSchemaRowset, SQL_HANDLE_STMT, statement.Get(),
                               "The driver's catalog function failed.");
  return S_OK;
}

// A restriction as a catalog function's argument: the search pattern's
// own characters escaped, so a name matches only itself; null when absent.
class CPatternArg {
 public:
  CPatternArg(const std::optional<std::string>& value, const std::u16string& escape, bool isPattern) {
    if (!value) return;
    std::u16string wide = AnsiToOle(*value);
    if (isPattern && !escape.empty()) {
      for (char16_t c : wide) {
        if (c == u'%' || c == u'_' || std::u16string(1, c) == escape) m_text += escape;
        m_text += c;
      }
    } else {
      m_text = wide;
    }
    m_given = true;
  }
  SQLWCHAR* Text() { return m_given ? OdbcText(m_text) : nullptr; }
  SQLSMALLINT Length() const { return m_given ? static_cast<SQLSMALLINT>(m_text.size()) : 0; }

 private:
  std::u16string m_text;
  bool m_given = false;
};

std::string Cell(const Row& row, size_t column) { return row.size() >= column && row[column - 1] ? *row[column - 1] : ""; }
bool IsNull(const Row& row, size_t column) { return row.size() < column || !row[column - 1]; }

NativeValue TextOrNull(const Row& row, size_t column) {
  return IsNull(row, column) ? NativeValue::Null() : NativeValue::Text(*row[column - 1]);
}

NativeValue NumberOrNull(const Row& row, size_t column) {
  if (IsNull(row, column)) return NativeValue::Null();
  try {
    return NativeValue::Integer(std::stoll(*row[column - 1]));
  } catch (...) {
    return NativeValue::Null();
  }
}

HRESULT Tables(SchemaContext& c, const std::optional<std::string>& type, std::vector<Row>& rows) {
  const auto& r = c.restrictions;
  const std::u16string& escape = c.connection.Info().searchEscape;
  CPatternArg catalog(r.Text(0), escape, false), schema(r.Text(1), escape, true), table(r.Text(2), escape, true);
  CPatternArg types(type, escape, false);
  return RunCatalog(c.connection, [&](SQLHSTMT s) {
    return SQLTablesW(s, catalog.Text(), catalog.Length(), schema.Text(), schema.Length(), table.Text(),
                      table.Length(), types.Text(), types.Length());
  }, rows);
}

HRESULT TablesRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> rows;
  if (HRESULT hr = Tables(c, c.restrictions.Text(3), rows); FAILED(hr)) return hr;
  for (const Row& row : rows) {
    if (!c.restrictions.Matches(2, Cell(row, 3)) || !c.restrictions.Matches(3, Cell(row, 4))) continue;
    out.Add().Set(u"TABLE_CATALOG", TextOrNull(row, 1)).Set(u"TABLE_SCHEMA", TextOrNull(row, 2))
        .Text(u"TABLE_NAME", Cell(row, 3)).Text(u"TABLE_TYPE", Cell(row, 4)).Set(u"DESCRIPTION", TextOrNull(row, 5));
  }
  return S_OK;
}

HRESULT ViewsRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> rows;
  if (HRESULT hr = Tables(c, std::string("VIEW"), rows); FAILED(hr)) return hr;
  for (const Row& row : rows) {
    if (!c.restrictions.Matches(2, Cell(row, 3))) continue;
    out.Add().Set(u"TABLE_CATALOG", TextOrNull(row, 1)).Set(u"TABLE_SCHEMA", TextOrNull(row, 2))
        .Text(u"TABLE_NAME", Cell(row, 3)).Set(u"DESCRIPTION", TextOrNull(row, 5));
  }
  return S_OK;
}

HRESULT CatalogsRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> rows;
  std::u16string all = u"%", none;
  HRESULT hr = RunCatalog(c.connection, [&](SQLHSTMT s) {
    return SQLTablesW(s, OdbcText(all), SQL_NTS, OdbcText(none), 0, OdbcText(none), 0, nullptr, 0);
  }, rows);
  if (FAILED(hr)) return hr;
  for (const Row& row : rows)
    if (!IsNull(row, 1) && c.restrictions.Matches(0, Cell(row, 1))) out.Add().Text(u"CATALOG_NAME", Cell(row, 1));
  return S_OK;
}

// A column's or parameter's size as the layouts give it: lengths for text
// and bytes, precision and scale for numbers. The catalog result has
// COLUMN_SIZE at `sizeColumn`, DECIMAL_DIGITS two further on and
// CHAR_OCTET_LENGTH at `octetColumn`.
void SetSizes(SchemaRows& out, const OdbcColumnType& type, const Row& row, size_t sizeColumn, size_t octetColumn) {
  if (type.kind == NativeKind::Text || type.kind == NativeKind::Blob) {
    out.Set(u"CHARACTER_MAXIMUM_LENGTH", NumberOrNull(row, sizeColumn))
        .Set(u"CHARACTER_OCTET_LENGTH", NumberOrNull(row, octetColumn));
  } else {
    out.Set(u"NUMERIC_PRECISION", NumberOrNull(row, sizeColumn)).Set(u"NUMERIC_SCALE", NumberOrNull(row, sizeColumn + 2));
  }
}

HRESULT ColumnsRowset(SchemaContext& c, SchemaRows& out) {
  const auto& r = c.restrictions;
  const std::u16string& escape = c.connection.Info().searchEscape;
  CPatternArg catalog(r.Text(0), escape, false), schema(r.Text(1), escape, true), table(r.Text(2), escape, true),
      column(r.Text(3), escape, true);
  std::vector<Row> rows;
  HRESULT hr = RunCatalog(c.connection, [&](SQLHSTMT s) {
    return SQLColumnsW(s, catalog.Text(), catalog.Length(), schema.Text(), schema.Length(), table.Text(),
                       table.Length(), column.Text(), column.Length());
  }, rows);
  if (FAILED(hr)) return hr;
  for (const Row& row : rows) {
    if (!r.Matches(2, Cell(row, 3)) || !r.Matches(3, Cell(row, 4))) continue;
    const auto sqlType = static_cast<SQLSMALLINT>(NumberOrNull(row, 5).Integer());
    const auto size = static_cast<SQLULEN>(NumberOrNull(row, 7).Integer());
    OdbcColumnType type = MapOdbcType(sqlType, size);
    const bool nullable = NumberOrNull(row, 11).Integer() != SQL_NO_NULLS;
    DBCOLUMNFLAGS flags = DBCOLUMNFLAGS_WRITE;
    if (type.isLong) flags |= DBCOLUMNFLAGS_ISLONG;
    if (type.kind == NativeKind::Integer || type.kind == NativeKind::Real) flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
    if (nullable) flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
    out.Add().Set(u"TABLE_CATALOG", TextOrNull(row, 1)).Set(u"TABLE_SCHEMA", TextOrNull(row, 2))
        .Text(u"TABLE_NAME", Cell(row, 3)).Text(u"COLUMN_NAME", Cell(row, 4))
        .Set(u"ORDINAL_POSITION", NumberOrNull(row, 17)).Bool(u"COLUMN_HASDEFAULT", !IsNull(row, 13))
        .Set(u"COLUMN_DEFAULT", TextOrNull(row, 13)).Integer(u"COLUMN_FLAGS", flags)
        .Bool(u"IS_NULLABLE", nullable).Integer(u"DATA_TYPE", type.type)
        .Set(u"DESCRIPTION", TextOrNull(row, 12));
    SetSizes(out, type, row, 7, 16);
  }
  return S_OK;
}

HRESULT PrimaryKeysOf(COdbcConnection& connection, const Row& table, std::vector<Row>& rows) {
  std::u16string catalog = AnsiToOle(Cell(table, 1)), schema = AnsiToOle(Cell(table, 2)),
                 name = AnsiToOle(Cell(table, 3));
  return RunCatalog(connection, [&](SQLHSTMT s) {
    return SQLPrimaryKeysW(s, IsNull(table, 1) ? nullptr : OdbcText(catalog), SQL_NTS,
                           IsNull(table, 2) ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name), SQL_NTS);
  }, rows);
}

HRESULT PrimaryKeysRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> tables;
  if (HRESULT hr = Tables(c, std::string("TABLE"), tables); FAILED(hr)) return hr;
  for (const Row& table : tables) {
    if (!c.restrictions.Matches(2, Cell(table, 3))) continue;
    std::vector<Row> keys;
    if (HRESULT hr = PrimaryKeysOf(c.connection, table, keys); FAILED(hr)) return hr;
    for (const Row& key : keys)
      out.Add().Set(u"TABLE_CATALOG", TextOrNull(key, 1)).Set(u"TABLE_SCHEMA", TextOrNull(key, 2))
          .Text(u"TABLE_NAME", Cell(key, 3)).Text(u"COLUMN_NAME", Cell(key, 4))
          .Set(u"ORDINAL", NumberOrNull(key, 5)).Set(u"PK_NAME", TextOrNull(key, 6));
  }
  return S_OK;
}

std::string Rule(const Row& row, size_t column) {
  switch (NumberOrNull(row, column).Integer()) {
    case SQL_CASCADE: return "CASCADE";
    case SQL_SET_NULL: return "SET NULL";
    case SQL_SET_DEFAULT: return "SET DEFAULT";
    default: return "NO ACTION";
  }
}

HRESULT ForeignKeysRowset(SchemaContext& c, SchemaRows& out) {
  // Restrictions 3-5 name the referencing table; every table is asked in turn.
  SchemaRestrictions none;
  SchemaContext all{c.connection, none};
  std::vector<Row> tables;
  if (HRESULT hr = Tables(all, std::string("TABLE"), tables); FAILED(hr)) return hr;
  for (const Row& table : tables) {
    if (!c.restrictions.Matches(5, Cell(table, 3)) || !c.restrictions.Matches(3, Cell(table, 1))) continue;
    std::u16string catalog = AnsiToOle(Cell(table, 1)), schema = AnsiToOle(Cell(table, 2)),
                   name = AnsiToOle(Cell(table, 3));
    std::vector<Row> keys;
    HRESULT hr = RunCatalog(c.connection, [&](SQLHSTMT s) {
      return SQLForeignKeysW(s, nullptr, 0, nullptr, 0, nullptr, 0, IsNull(table, 1) ? nullptr : OdbcText(catalog),
                             SQL_NTS, IsNull(table, 2) ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name), SQL_NTS);
    }, keys);
    if (FAILED(hr)) return hr;
    for (const Row& k : keys) {
      if (!c.restrictions.Matches(2, Cell(k, 3)) || !c.restrictions.Matches(0, Cell(k, 1))) continue;
      out.Add().Set(u"PK_TABLE_CATALOG", TextOrNull(k, 1)).Set(u"PK_TABLE_SCHEMA", TextOrNull(k, 2))
          .Text(u"PK_TABLE_NAME", Cell(k, 3)).Text(u"PK_COLUMN_NAME", Cell(k, 4))
          .Set(u"FK_TABLE_CATALOG", TextOrNull(k, 5)).Set(u"FK_TABLE_SCHEMA", TextOrNull(k, 6))
          .Text(u"FK_TABLE_NAME", Cell(k, 7)).Text(u"FK_COLUMN_NAME", Cell(k, 8)).Set(u"ORDINAL", NumberOrNull(k, 9))
          .Text(u"UPDATE_RULE", Rule(k, 10)).Text(u"DELETE_RULE", Rule(k, 11)).Set(u"FK_NAME", TextOrNull(k, 12))
          .Set(u"PK_NAME", TextOrNull(k, 13)).Integer(u"DEFERRABILITY", DBPROPVAL_DF_NOT_DEFERRABLE);
    }
  }
  return S_OK;
}

HRESULT StatisticsOf(COdbcConnection& connection, const Row& table, std::vector<Row>& rows) {
  std::u16string catalog = AnsiToOle(Cell(table, 1)), schema = AnsiToOle(Cell(table, 2)),
                 name = AnsiToOle(Cell(table, 3));
  return RunCatalog(connection, [&](SQLHSTMT s) {
    return SQLStatisticsW(s, IsNull(table, 1) ? nullptr : OdbcText(catalog), SQL_NTS,
                          IsNull(table, 2) ? nullptr : OdbcText(schema), SQL_NTS, OdbcText(name), SQL_NTS,
                          SQL_INDEX_ALL, SQL_QUICK);
  }, rows);
}

HRESULT IndexesRowset(SchemaContext& c, SchemaRows& out) {
  // Restrictions: 0 catalog, 1 schema, 2 index name, 3 type, 4 table name.
  std::vector<Row> tables;
  SchemaRestrictions none;
  SchemaContext all{c.connection, none};
  if (HRESULT hr = Tables(all, std::string("TABLE"), tables); FAILED(hr)) return hr;
  for (const Row& table : tables) {
    if (!c.restrictions.Matches(4, Cell(table, 3)) || !c.restrictions.Matches(0, Cell(table, 1))) continue;
    std::vector<Row> stats, keys;
    if (HRESULT hr = StatisticsOf(c.connection, table, stats); FAILED(hr)) return hr;
    if (HRESULT hr = PrimaryKeysOf(c.connection, table, keys); FAILED(hr)) return hr;
    std::string primaryName = keys.empty() ? "" : Cell(keys[0], 6);
    for (const Row& s : stats) {
      if (IsNull(s, 6) || NumberOrNull(s, 7).Integer() == SQL_TABLE_STAT) continue;
      if (!c.restrictions.Matches(2, Cell(s, 6)) || !c.restrictions.MatchesNumber(3, DBPROPVAL_IT_BTREE)) continue;
      out.Add().Set(u"TABLE_CATALOG", TextOrNull(s, 1)).Set(u"TABLE_SCHEMA", TextOrNull(s, 2))
          .Text(u"TABLE_NAME", Cell(s, 3)).Set(u"INDEX_CATALOG", TextOrNull(s, 1)).Set(u"INDEX_SCHEMA", TextOrNull(s, 2))
          .Text(u"INDEX_NAME", Cell(s, 6)).Bool(u"PRIMARY_KEY", !primaryName.empty() && primaryName == Cell(s, 6))
          .Bool(u"UNIQUE", NumberOrNull(s, 4).Integer() == 0).Bool(u"CLUSTERED", NumberOrNull(s, 7).Integer() == SQL_INDEX_CLUSTERED)
          .Integer(u"TYPE", DBPROPVAL_IT_BTREE).Integer(u"NULLS", DBPROPVAL_IN_ALLOWNULL)
          .Bool(u"SORT_BOOKMARKS", false).Bool(u"AUTO_UPDATE", true).Set(u"ORDINAL_POSITION", NumberOrNull(s, 8))
          .Set(u"COLUMN_NAME", TextOrNull(s, 9))
          .Integer(u"COLLATION", Cell(s, 10) == "D" ? DB_COLLATION_DESC : DB_COLLATION_ASC)
          .Set(u"CARDINALITY", NumberOrNull(s, 11)).Set(u"PAGES", NumberOrNull(s, 12))
          .Set(u"FILTER_CONDITION", TextOrNull(s, 13)).Bool(u"INTEGRATED", false);
    }
  }
  return S_OK;
}

HRESULT StatisticsRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> tables;
  if (HRESULT hr = Tables(c, std::string("TABLE"), tables); FAILED(hr)) return hr;
  for (const Row& table : tables) {
    if (!c.restrictions.Matches(2, Cell(table, 3))) continue;
    std::vector<Row> stats;
    if (HRESULT hr = StatisticsOf(c.connection, table, stats); FAILED(hr)) return hr;
    NativeValue cardinality;
    for (const Row& s : stats)
      if (NumberOrNull(s, 7).Integer() == SQL_TABLE_STAT) cardinality = NumberOrNull(s, 11);
    out.Add().Set(u"TABLE_CATALOG", TextOrNull(table, 1)).Set(u"TABLE_SCHEMA", TextOrNull(table, 2))
        .Text(u"TABLE_NAME", Cell(table, 3)).Set(u"CARDINALITY", std::move(cardinality));
  }
  return S_OK;
}

HRESULT ProviderTypesRowset(SchemaContext& c, SchemaRows& out) {
  std::vector<Row> rows;
  HRESULT hr = RunCatalog(c.connection, [](SQLHSTMT s) { return SQLGetTypeInfoW(s, SQL_ALL_TYPES); }, rows);
  if (FAILED(hr)) return hr;
  std::vector<DBTYPE> seen;
  for (const Row& row : rows) {
    OdbcColumnType type = MapOdbcType(static_cast<SQLSMALLINT>(NumberOrNull(row, 2).Integer()),
                                      static_cast<SQLULEN>(NumberOrNull(row, 3).Integer()));
    // The first type the driver lists for an OLE DB type is its best match.
    const bool best = std::find(seen.begin(), seen.end(), type.type) == seen.end();
    if (best) seen.push_back(type.type);
    if (!c.restrictions.MatchesNumber(0, type.type)) continue;
    if (c.restrictions.Number(1) && (*c.restrictions.Number(1) != 0) != best) continue;
    out.Add().Text(u"TYPE_NAME", Cell(row, 1)).Integer(u"DATA_TYPE", type.type).Set(u"COLUMN_SIZE", NumberOrNull(row, 3))
        .Set(u"LITERAL_PREFIX", TextOrNull(row, 4)).Set(u"LITERAL_SUFFIX", TextOrNull(row, 5))
        .Set(u"CREATE_PARAMS", TextOrNull(row, 6)).Bool(u"IS_NULLABLE", NumberOrNull(row, 7).Integer() != SQL_NO_NULLS)
        .Bool(u"CASE_SENSITIVE", NumberOrNull(row, 8).Integer() != 0).Set(u"SEARCHABLE", NumberOrNull(row, 9))
        .Set(u"UNSIGNED_ATTRIBUTE", NumberOrNull(row, 10)).Bool(u"FIXED_PREC_SCALE", NumberOrNull(row, 11).Integer() != 0)
        .Bool(u"AUTO_UNIQUE_VALUE", NumberOrNull(row, 12).Integer() != 0).Set(u"LOCAL_TYPE_NAME", TextOrNull(row, 13))
        .Set(u"MINIMUM_SCALE", NumberOrNull(row, 14)).Set(u"MAXIMUM_SCALE", NumberOrNull(row, 15))
        .Bool(u"IS_LONG", type.isLong).Bool(u"BEST_MATCH", best)
        .Bool(u"IS_FIXEDLENGTH", type.kind == NativeKind::Integer || type.kind == NativeKind::Real);
  }
  return S_OK;
}

LONG ProcedureType(const Row& row) {
  switch (NumberOrNull(row, 8).Integer()) {
    case SQL_PT_PROCEDURE: return DB_PT_PROCEDURE;
    case SQL_PT_FUNCTION: return DB_PT_FUNCTION;
    default: return DB_PT_UNKNOWN;
  }
}

HRESULT ProceduresRowset(SchemaContext& c, SchemaRows& out) {
  const auto& r = c.restrictions;
  const std::u16string& escape = c.connection.Info().searchEscape;
  CPatternArg catalog(r.Text(0), escape, false), schema(r.Text(1), escape, true), name(r.Text(2), escape, true);
  std::vector<Row> rows;
  HRESULT hr = RunCatalog(c.connection, [&](SQLHSTMT s) {
    return SQLProceduresW(s, catalog.Text(), catalog.Length(), schema.Text(), schema.Length(), name.Text(),
                          name.Length());
  }, rows);
  if (FAILED(hr)) return hr;
  for (const Row& row : rows) {
    const LONG type = ProcedureType(row);
    if (!r.Matches(2, Cell(row, 3)) || !r.MatchesNumber(3, type)) continue;
    out.Add().Set(u"PROCEDURE_CATALOG", TextOrNull(row, 1)).Set(u"PROCEDURE_SCHEMA", TextOrNull(row, 2))
        .Text(u"PROCEDURE_NAME", Cell(row, 3)).Integer(u"PROCEDURE_TYPE", type)
        .Set(u"DESCRIPTION", TextOrNull(row, 7));
  }
  return S_OK;
}

// A parameter's direction; a result column (SQL_RESULT_COL) is no
// parameter and gives nothing.
std::optional<NativeValue> ParameterType(const Row& row) {
  switch (NumberOrNull(row, 5).Integer()) {
    case SQL_PARAM_INPUT: return NativeValue::Integer(DBPARAMTYPE_INPUT);
    case SQL_PARAM_INPUT_OUTPUT: return NativeValue::Integer(DBPARAMTYPE_INPUTOUTPUT);
    case SQL_PARAM_OUTPUT: return NativeValue::Integer(DBPARAMTYPE_OUTPUT);
    case SQL_RETURN_VALUE: return NativeValue::Integer(DBPARAMTYPE_RETURNVALUE);
    case SQL_RESULT_COL: return std::nullopt;
    default: return NativeValue::Null();
  }
}

HRESULT ProcedureParametersRowset(SchemaContext& c, SchemaRows& out) {
  const auto& r = c.restrictions;
  const std::u16string& escape = c.connection.Info().searchEscape;
  CPatternArg catalog(r.Text(0), escape, false), schema(r.Text(1), escape, true), name(r.Text(2), escape, true);
  // The parameter name is matched here: PostgreSQL's driver finds no
  // parameter by name.
  std::vector<Row> rows;
  HRESULT hr = RunCatalog(c.connection, [&](SQLHSTMT s) {
    return SQLProcedureColumnsW(s, catalog.Text(), catalog.Length(), schema.Text(), schema.Length(), name.Text(),
                                name.Length(), nullptr, 0);
  }, rows);
  if (FAILED(hr)) return hr;
  for (const Row& row : rows) {
    std::optional<NativeValue> direction = ParameterType(row);
    if (!direction || !r.Matches(2, Cell(row, 3)) || !r.Matches(3, Cell(row, 4))) continue;
    const auto sqlType = static_cast<SQLSMALLINT>(NumberOrNull(row, 6).Integer());
    const OdbcColumnType type = MapOdbcType(sqlType, static_cast<SQLULEN>(NumberOrNull(row, 8).Integer()));
    out.Add().Set(u"PROCEDURE_CATALOG", TextOrNull(row, 1)).Set(u"PROCEDURE_SCHEMA", TextOrNull(row, 2))
        .Text(u"PROCEDURE_NAME", Cell(row, 3))
        .Set(u"PARAMETER_NAME", Cell(row, 4).empty() ? NativeValue::Null() : TextOrNull(row, 4))
        .Set(u"ORDINAL_POSITION", NumberOrNull(row, 18)).Set(u"PARAMETER_TYPE", std::move(*direction))
        .Bool(u"PARAMETER_HASDEFAULT", !IsNull(row, 14)).Set(u"PARAMETER_DEFAULT", TextOrNull(row, 14))
        .Bool(u"IS_NULLABLE", NumberOrNull(row, 12).Integer() != SQL_NO_NULLS).Integer(u"DATA_TYPE", type.type)
        .Set(u"DESCRIPTION", TextOrNull(row, 13)).Set(u"TYPE_NAME", TextOrNull(row, 7))
        .Set(u"LOCAL_TYPE_NAME", TextOrNull(row, 7));
    SetSizes(out, type, row, 8, 17);
  }
  return S_OK;
}

using Builder = HRESULT (*)(SchemaContext&, SchemaRows&);

struct SchemaDef {
  const GUID* guid;
  ULONG supported;  // bit i: restriction i may have a value
  ULONG numeric;    // bit i: restriction i is a number
  Builder build;
};

const SchemaDef kSchemas[] = {
    {&DBSCHEMA_CATALOGS, 0x1, 0, &CatalogsRowset},
    {&DBSCHEMA_COLUMNS, 0xF, 0, &ColumnsRowset},
    {&DBSCHEMA_FOREIGN_KEYS, 0x1 | 0x4 | 0x8 | 0x20, 0, &ForeignKeysRowset},
    {&DBSCHEMA_INDEXES, 0x1 | 0x4 | 0x8 | 0x10, 0x8, &IndexesRowset},
    {&DBSCHEMA_PRIMARY_KEYS, 0x7, 0, &PrimaryKeysRowset},
    {&DBSCHEMA_PROCEDURE_PARAMETERS, 0xF, 0, &ProcedureParametersRowset},
    {&DBSCHEMA_PROCEDURES, 0xF, 0x8, &ProceduresRowset},
    {&DBSCHEMA_PROVIDER_TYPES, 0x3, 0x3, &ProviderTypesRowset},
    {&DBSCHEMA_STATISTICS, 0x7, 0, &StatisticsRowset},
    {&DBSCHEMA_TABLES, 0xF, 0, &TablesRowset},
    {&DBSCHEMA_VIEWS, 0x7, 0, &ViewsRowset},
};

}  // namespace

HRESULT GetOdbcSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  std::vector<SupportedSchema> schemas;
  for (const auto& s : kSchemas) schemas.push_back({s.guid, s.supported});
  return ListSchemas(schemas, pcSchemas, prgSchemas, prgRestrictionSupport);
}

HRESULT GetOdbcSchemaRowset(COdbcConnection& connection, REFGUID schema, ULONG cRestrictions,
                            const VARIANT rgRestrictions[], IUnknown* creator, REFIID riid, IUnknown** ppRowset) {
  const SchemaDef* def = nullptr;
  for (const auto& s : kSchemas)
    if (*s.guid == schema) def = &s;
  const SchemaLayout* layout = FindSchemaLayout(schema);
  if (!def || !layout) return PostOdbcError(E_INVALIDARG, IID_IDBSchemaRowset, "The schema rowset is not supported.");
  SchemaRestrictions restrictions;
  HRESULT hr = restrictions.Read(*layout, def->supported, def->numeric, cRestrictions, rgRestrictions,
                                 CLSID_RavezovODBC, kOdbcErrorSource);
  if (FAILED(hr)) return hr;
  SchemaRows rows(*layout);
  SchemaContext context{connection, restrictions};
  if (hr = def->build(context, rows); FAILED(hr)) return hr;
  return rows.CreateRowset(creator, CLSID_RavezovODBC, std::u16string(kOdbcErrorSource), riid, ppRowset);
}
