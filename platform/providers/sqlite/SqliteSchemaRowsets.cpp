#include "SqliteSchemaRowsets.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ErrorRecords.h"
#include "MemoryRowset.h"
#include "SqliteErrors.h"
#include "SqliteProvider.h"
#include "SqliteSavepoint.h"
#include "SqliteStatement.h"
#include "SqliteTypeMap.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// ---- Restrictions ------------------------------------------------------

class CRestrictions {
 public:
  std::optional<std::string> text[8];
  std::optional<int64_t> number[8];
  bool Matches(size_t i, const std::string& value) const {
    return !text[i] || sqlite3_stricmp(text[i]->c_str(), value.c_str()) == 0;
  }
  bool MatchesNumber(size_t i, int64_t value) const { return !number[i] || *number[i] == value; }
};

// ---- Building rows -----------------------------------------------------

struct SchemaTable {
  std::vector<ColumnDesc> columns;
  std::vector<MemoryRow> rows;
};

ColumnDesc Column(const char16_t* name, DBTYPE type) {
  ColumnDesc c;
  c.name = name;
  c.type = type;
  c.flags = DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
  switch (type) {
    case DBTYPE_WSTR: c.size = 128; break;
    case DBTYPE_GUID: c.size = 16; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    case DBTYPE_BOOL: case DBTYPE_I2: case DBTYPE_UI2: c.size = 2; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    case DBTYPE_I4: case DBTYPE_UI4: c.size = 4; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    default: c.size = 8; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
  }
  return c;
}

ColumnDesc LongText(const char16_t* name) {
  ColumnDesc c = Column(name, DBTYPE_WSTR);
  c.size = ~DBLENGTH{0};
  c.flags |= DBCOLUMNFLAGS_ISLONG;
  return c;
}

NativeValue T(const std::string& s) { return NativeValue::Text(s); }
NativeValue I(int64_t v) { return NativeValue::Integer(v); }
NativeValue B(bool v) { return NativeValue::Integer(v ? 1 : 0); }
NativeValue N() { return NativeValue::Null(); }
NativeValue TextOrNull(const CSqliteStatement& s, int i) { return s.IsNull(i) ? N() : T(s.Text(i)); }

std::vector<std::string> Catalogs(sqlite3* db, const CRestrictions& r, size_t index) {
  std::vector<std::string> names;
  CSqliteStatement list;
  if (list.Prepare(db, "PRAGMA database_list") != SQLITE_OK) return names;
  while (list.Step() == SQLITE_ROW)
    if (r.Matches(index, list.Text(1))) names.push_back(list.Text(1));
  return names;
}

struct TableEntry {
  std::string catalog, name, type, sql;
};

// Tables and views of the matching catalogs, in catalog then name order.
std::vector<TableEntry> Tables(sqlite3* db, const CRestrictions& r, size_t catalogIndex,
                               size_t nameIndex, bool tablesOnly, bool viewsOnly = false) {
  std::vector<TableEntry> tables;
  for (const auto& catalog : Catalogs(db, r, catalogIndex)) {
    CSqliteStatement list;
    std::string sql = "SELECT type, name, sql FROM " + QuoteIdentifier(catalog) +
                      ".sqlite_schema WHERE type IN ('table', 'view') ORDER BY name";
    if (list.Prepare(db, sql) != SQLITE_OK) continue;
    while (list.Step() == SQLITE_ROW) {
      TableEntry t{catalog, list.Text(1), list.Text(0), list.Text(2)};
      if (tablesOnly && t.type != "table") continue;
      if (viewsOnly && t.type != "view") continue;
      if (r.Matches(nameIndex, t.name)) tables.push_back(std::move(t));
    }
  }
  return tables;
}

std::string Pragma(const std::string& catalog, const char* pragma, const std::string& argument) {
  return "PRAGMA " + QuoteIdentifier(catalog) + "." + pragma + "(" + QuoteIdentifier(argument) + ")";
}

// ---- The rowsets -------------------------------------------------------

SchemaTable Catalogs(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"CATALOG_NAME", DBTYPE_WSTR), LongText(u"DESCRIPTION")};
  CSqliteStatement list;
  if (list.Prepare(db, "PRAGMA database_list") == SQLITE_OK)
    while (list.Step() == SQLITE_ROW)
      if (r.Matches(0, list.Text(1))) t.rows.push_back({T(list.Text(1)), TextOrNull(list, 2)});
  return t;
}

std::string TableType(const TableEntry& e) {
  if (e.type == "view") return "VIEW";
  return e.name.rfind("sqlite_", 0) == 0 ? "SYSTEM TABLE" : "TABLE";
}

SchemaTable TablesRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR),    Column(u"TABLE_TYPE", DBTYPE_WSTR),
               Column(u"TABLE_GUID", DBTYPE_GUID),    LongText(u"DESCRIPTION"),
               Column(u"TABLE_PROPID", DBTYPE_UI4),   Column(u"DATE_CREATED", DBTYPE_DATE),
               Column(u"DATE_MODIFIED", DBTYPE_DATE)};
  std::vector<std::pair<TableEntry, std::string>> found;
  for (auto& e : Tables(db, r, 0, 2, false)) {
    std::string type = TableType(e);
    if (r.Matches(3, type)) found.emplace_back(std::move(e), type);
  }
  std::stable_sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.second < b.second; });
  for (auto& [e, type] : found)
    t.rows.push_back({T(e.catalog), N(), T(e.name), T(type), N(), N(), N(), N(), N()});
  return t;
}

SchemaTable ColumnsRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR), Column(u"COLUMN_NAME", DBTYPE_WSTR),
               Column(u"COLUMN_GUID", DBTYPE_GUID), Column(u"COLUMN_PROPID", DBTYPE_UI4),
               Column(u"ORDINAL_POSITION", DBTYPE_UI4), Column(u"COLUMN_HASDEFAULT", DBTYPE_BOOL),
               LongText(u"COLUMN_DEFAULT"), Column(u"COLUMN_FLAGS", DBTYPE_UI4),
               Column(u"IS_NULLABLE", DBTYPE_BOOL), Column(u"DATA_TYPE", DBTYPE_UI2),
               Column(u"TYPE_GUID", DBTYPE_GUID), Column(u"CHARACTER_MAXIMUM_LENGTH", DBTYPE_UI4),
               Column(u"CHARACTER_OCTET_LENGTH", DBTYPE_UI4), Column(u"NUMERIC_PRECISION", DBTYPE_UI2),
               Column(u"NUMERIC_SCALE", DBTYPE_I2), Column(u"DATETIME_PRECISION", DBTYPE_UI4),
               Column(u"CHARACTER_SET_CATALOG", DBTYPE_WSTR), Column(u"CHARACTER_SET_SCHEMA", DBTYPE_WSTR),
               Column(u"CHARACTER_SET_NAME", DBTYPE_WSTR), Column(u"COLLATION_CATALOG", DBTYPE_WSTR),
               Column(u"COLLATION_SCHEMA", DBTYPE_WSTR), Column(u"COLLATION_NAME", DBTYPE_WSTR),
               Column(u"DOMAIN_CATALOG", DBTYPE_WSTR), Column(u"DOMAIN_SCHEMA", DBTYPE_WSTR),
               Column(u"DOMAIN_NAME", DBTYPE_WSTR), LongText(u"DESCRIPTION")};
  for (const auto& e : Tables(db, r, 0, 2, false)) {
    CSqliteStatement info;
    if (info.Prepare(db, Pragma(e.catalog, "table_xinfo", e.name)) != SQLITE_OK) continue;
    int64_t ordinal = 0;
    while (info.Step() == SQLITE_ROW) {
      if (info.Integer(6) == 1) continue;  // hidden column of a virtual table
      ++ordinal;
      std::string name = info.Text(1);
      if (!r.Matches(3, name)) continue;
      std::string declared = info.Text(2);
      SqliteColumnType type = MapSqliteType(declared.c_str(), SQLITE_NULL);
      bool notNull = info.Integer(3) != 0;
      bool hasDefault = !info.IsNull(4);
      DBCOLUMNFLAGS flags = DBCOLUMNFLAGS_WRITE;
      if (type.isLong) flags |= DBCOLUMNFLAGS_ISLONG;
      if (!type.isLong && (type.type == DBTYPE_I8 || type.type == DBTYPE_R8)) flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
      if (!notNull) flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
      bool isText = type.type == DBTYPE_WSTR || type.type == DBTYPE_BYTES;
      NativeValue maxLength = isText && !type.isLong ? I(type.size) : N();
      NativeValue octets = N();
      if (isText && !type.isLong) octets = I(type.type == DBTYPE_WSTR ? int64_t{type.size} * 2 : type.size);
      NativeValue precision = type.type == DBTYPE_I8 || type.type == DBTYPE_R8 ? I(type.precision) : N();
      t.rows.push_back({T(e.catalog), N(), T(e.name), T(name), N(), N(), I(ordinal),
                        B(hasDefault), hasDefault ? T(info.Text(4)) : N(), I(flags), B(!notNull),
                        I(type.type), N(), maxLength, octets, precision, N(), N(), N(), N(), N(), N(),
                        N(), N(), N(), N(), N(), N()});
    }
  }
  return t;
}

struct KeyColumn {
  int64_t order;
  std::string name;
};

std::vector<KeyColumn> PrimaryKey(sqlite3* db, const std::string& catalog, const std::string& table) {
  std::vector<KeyColumn> key;
  CSqliteStatement info;
  if (info.Prepare(db, Pragma(catalog, "table_info", table)) != SQLITE_OK) return key;
  while (info.Step() == SQLITE_ROW)
    if (int64_t pk = info.Integer(5); pk > 0) key.push_back({pk, info.Text(1)});
  std::sort(key.begin(), key.end(), [](auto& a, auto& b) { return a.order < b.order; });
  return key;
}

SchemaTable PrimaryKeysRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR),    Column(u"COLUMN_NAME", DBTYPE_WSTR),
               Column(u"COLUMN_GUID", DBTYPE_GUID),   Column(u"COLUMN_PROPID", DBTYPE_UI4),
               Column(u"ORDINAL", DBTYPE_UI4),        Column(u"PK_NAME", DBTYPE_WSTR)};
  for (const auto& e : Tables(db, r, 0, 2, true))
    for (const auto& k : PrimaryKey(db, e.catalog, e.name))
      t.rows.push_back({T(e.catalog), N(), T(e.name), T(k.name), N(), N(), I(k.order), N()});
  return t;
}

std::string Rule(const std::string& action) {
  // The rowset knows four rules; RESTRICT behaves as NO ACTION here.
  if (action == "CASCADE" || action == "SET NULL" || action == "SET DEFAULT") return action;
  return "NO ACTION";
}

SchemaTable ForeignKeysRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"PK_TABLE_CATALOG", DBTYPE_WSTR), Column(u"PK_TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"PK_TABLE_NAME", DBTYPE_WSTR),    Column(u"PK_COLUMN_NAME", DBTYPE_WSTR),
               Column(u"PK_COLUMN_GUID", DBTYPE_GUID),   Column(u"PK_COLUMN_PROPID", DBTYPE_UI4),
               Column(u"FK_TABLE_CATALOG", DBTYPE_WSTR), Column(u"FK_TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"FK_TABLE_NAME", DBTYPE_WSTR),    Column(u"FK_COLUMN_NAME", DBTYPE_WSTR),
               Column(u"FK_COLUMN_GUID", DBTYPE_GUID),   Column(u"FK_COLUMN_PROPID", DBTYPE_UI4),
               Column(u"ORDINAL", DBTYPE_UI4),           Column(u"UPDATE_RULE", DBTYPE_WSTR),
               Column(u"DELETE_RULE", DBTYPE_WSTR),      Column(u"PK_NAME", DBTYPE_WSTR),
               Column(u"FK_NAME", DBTYPE_WSTR),          Column(u"DEFERRABILITY", DBTYPE_I2)};
  // Restrictions: 0-2 the referenced table, 3-5 the referencing table.
  for (const auto& e : Tables(db, r, 3, 5, true)) {
    if (!r.Matches(0, e.catalog)) continue;
    CSqliteStatement list;
    if (list.Prepare(db, Pragma(e.catalog, "foreign_key_list", e.name)) != SQLITE_OK) continue;
    while (list.Step() == SQLITE_ROW) {
      std::string target = list.Text(2);
      if (!r.Matches(2, target)) continue;
      int64_t seq = list.Integer(1);
      std::string to = list.Text(4);
      if (list.IsNull(4)) {  // the referenced table's primary key, column by column
        auto key = PrimaryKey(db, e.catalog, target);
        if (static_cast<size_t>(seq) < key.size()) to = key[static_cast<size_t>(seq)].name;
      }
      t.rows.push_back({T(e.catalog), N(), T(target), T(to), N(), N(), T(e.catalog), N(), T(e.name),
                        T(list.Text(3)), N(), N(), I(seq + 1), T(Rule(list.Text(5))),
                        T(Rule(list.Text(6))), N(), N(), I(DBPROPVAL_DF_NOT_DEFERRABLE)});
    }
  }
  return t;
}

SchemaTable IndexesRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR),    Column(u"INDEX_CATALOG", DBTYPE_WSTR),
               Column(u"INDEX_SCHEMA", DBTYPE_WSTR),  Column(u"INDEX_NAME", DBTYPE_WSTR),
               Column(u"PRIMARY_KEY", DBTYPE_BOOL),   Column(u"UNIQUE", DBTYPE_BOOL),
               Column(u"CLUSTERED", DBTYPE_BOOL),     Column(u"TYPE", DBTYPE_UI2),
               Column(u"FILL_FACTOR", DBTYPE_I4),     Column(u"INITIAL_SIZE", DBTYPE_I4),
               Column(u"NULLS", DBTYPE_I4),           Column(u"SORT_BOOKMARKS", DBTYPE_BOOL),
               Column(u"AUTO_UPDATE", DBTYPE_BOOL),   Column(u"NULL_COLLATION", DBTYPE_I4),
               Column(u"ORDINAL_POSITION", DBTYPE_UI4), Column(u"COLUMN_NAME", DBTYPE_WSTR),
               Column(u"COLUMN_GUID", DBTYPE_GUID),   Column(u"COLUMN_PROPID", DBTYPE_UI4),
               Column(u"COLLATION", DBTYPE_I2),       Column(u"CARDINALITY", DBTYPE_UI8),
               Column(u"PAGES", DBTYPE_I4),           LongText(u"FILTER_CONDITION"),
               Column(u"INTEGRATED", DBTYPE_BOOL)};
  // Restrictions: 0 catalog, 1 schema, 2 index name, 3 type, 4 table name.
  for (const auto& e : Tables(db, r, 0, 4, true)) {
    CSqliteStatement list;
    if (list.Prepare(db, Pragma(e.catalog, "index_list", e.name)) != SQLITE_OK) continue;
    while (list.Step() == SQLITE_ROW) {
      std::string index = list.Text(1);
      if (!r.Matches(2, index) || !r.MatchesNumber(3, DBPROPVAL_IT_BTREE)) continue;
      bool unique = list.Integer(2) != 0;
      bool primary = list.Text(3) == "pk";
      CSqliteStatement columns;
      if (columns.Prepare(db, Pragma(e.catalog, "index_xinfo", index)) != SQLITE_OK) continue;
      while (columns.Step() == SQLITE_ROW) {
        if (columns.Integer(5) == 0) continue;  // not a key column
        t.rows.push_back({T(e.catalog), N(), T(e.name), T(e.catalog), N(), T(index), B(primary),
                          B(unique), B(false), I(DBPROPVAL_IT_BTREE), N(), N(),
                          I(DBPROPVAL_IN_ALLOWNULL), B(false), B(true), I(DBPROPVAL_NC_LOW),
                          I(columns.Integer(0) + 1), TextOrNull(columns, 2), N(), N(),
                          I(columns.Integer(3) ? DB_COLLATION_DESC : DB_COLLATION_ASC), N(), N(),
                          N(), B(false)});
      }
    }
  }
  return t;
}

SchemaTable ViewsRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR),    LongText(u"VIEW_DEFINITION"),
               Column(u"CHECK_OPTION", DBTYPE_BOOL),  Column(u"IS_UPDATABLE", DBTYPE_BOOL),
               LongText(u"DESCRIPTION"),              Column(u"DATE_CREATED", DBTYPE_DATE),
               Column(u"DATE_MODIFIED", DBTYPE_DATE)};
  for (const auto& e : Tables(db, r, 0, 2, false, true))
    t.rows.push_back({T(e.catalog), N(), T(e.name), T(e.sql), B(false), B(false), N(), N(), N()});
  return t;
}

SchemaTable StatisticsRowset(sqlite3* db, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TABLE_CATALOG", DBTYPE_WSTR), Column(u"TABLE_SCHEMA", DBTYPE_WSTR),
               Column(u"TABLE_NAME", DBTYPE_WSTR), Column(u"CARDINALITY", DBTYPE_UI8)};
  for (const auto& e : Tables(db, r, 0, 2, true)) {
    CSqliteStatement count;
    std::string sql = "SELECT count(*) FROM " + QuoteIdentifier(e.catalog) + "." + QuoteIdentifier(e.name);
    NativeValue cardinality = N();
    if (count.Prepare(db, sql) == SQLITE_OK && count.Step() == SQLITE_ROW) cardinality = I(count.Integer(0));
    t.rows.push_back({T(e.catalog), N(), T(e.name), cardinality});
  }
  return t;
}

SchemaTable ProviderTypesRowset(sqlite3*, const CRestrictions& r) {
  SchemaTable t;
  t.columns = {Column(u"TYPE_NAME", DBTYPE_WSTR),        Column(u"DATA_TYPE", DBTYPE_UI2),
               Column(u"COLUMN_SIZE", DBTYPE_UI4),       Column(u"LITERAL_PREFIX", DBTYPE_WSTR),
               Column(u"LITERAL_SUFFIX", DBTYPE_WSTR),   Column(u"CREATE_PARAMS", DBTYPE_WSTR),
               Column(u"IS_NULLABLE", DBTYPE_BOOL),      Column(u"CASE_SENSITIVE", DBTYPE_BOOL),
               Column(u"SEARCHABLE", DBTYPE_UI4),        Column(u"UNSIGNED_ATTRIBUTE", DBTYPE_BOOL),
               Column(u"FIXED_PREC_SCALE", DBTYPE_BOOL), Column(u"AUTO_UNIQUE_VALUE", DBTYPE_BOOL),
               Column(u"LOCAL_TYPE_NAME", DBTYPE_WSTR),  Column(u"MINIMUM_SCALE", DBTYPE_I2),
               Column(u"MAXIMUM_SCALE", DBTYPE_I2),      Column(u"GUID", DBTYPE_GUID),
               Column(u"TYPELIB", DBTYPE_WSTR),          Column(u"VERSION", DBTYPE_WSTR),
               Column(u"IS_LONG", DBTYPE_BOOL),          Column(u"BEST_MATCH", DBTYPE_BOOL),
               Column(u"IS_FIXEDLENGTH", DBTYPE_BOOL)};
  struct TypeRow {
    const char* name;
    DBTYPE type;
    int64_t size;
    const char* prefix;
    bool caseSensitive;
    bool isLong;
    bool fixed;
  };
  constexpr int64_t kMaxLength = 1000000000;  // SQLite's default length limit
  const TypeRow types[] = {
      {"INTEGER", DBTYPE_I8, 19, nullptr, false, false, true},
      {"REAL", DBTYPE_R8, 15, nullptr, false, false, true},
      {"TEXT", DBTYPE_WSTR, kMaxLength, "'", true, true, false},
      {"BLOB", DBTYPE_BYTES, kMaxLength, "X'", false, true, false},
  };
  constexpr int64_t kSearchable = 4;  // DB_SEARCHABLE
  for (const auto& ty : types) {
    if (!r.MatchesNumber(0, ty.type)) continue;
    if (r.number[1] && *r.number[1] == 0) continue;  // every row is its type's best match
    t.rows.push_back({T(ty.name), I(ty.type), I(ty.size), ty.prefix ? T(ty.prefix) : N(),
                      ty.prefix ? T("'") : N(), N(), B(true), B(ty.caseSensitive), I(kSearchable),
                      ty.type == DBTYPE_I8 || ty.type == DBTYPE_R8 ? B(false) : N(), B(false),
                      B(false), T(ty.name), N(), N(), N(), N(), N(), B(ty.isLong), B(true),
                      B(ty.fixed)});
  }
  return t;
}

// ---- The schema table --------------------------------------------------

using Builder = SchemaTable (*)(sqlite3*, const CRestrictions&);

struct SchemaDef {
  const GUID* guid;
  ULONG restrictionCount;
  ULONG supported;  // bit i: restriction i may have a value
  Builder build;
  bool numeric[8];  // restriction i is a number, not text
};

const SchemaDef kSchemas[] = {
    {&DBSCHEMA_CATALOGS, 1, 0x1, &Catalogs, {}},
    {&DBSCHEMA_COLUMNS, 4, 0x1 | 0x4 | 0x8, &ColumnsRowset, {}},
    {&DBSCHEMA_FOREIGN_KEYS, 6, 0x1 | 0x4 | 0x8 | 0x20, &ForeignKeysRowset, {}},
    {&DBSCHEMA_INDEXES, 5, 0x1 | 0x4 | 0x8 | 0x10, &IndexesRowset, {false, false, false, true, false}},
    {&DBSCHEMA_PRIMARY_KEYS, 3, 0x1 | 0x4, &PrimaryKeysRowset, {}},
    {&DBSCHEMA_PROVIDER_TYPES, 2, 0x1 | 0x2, &ProviderTypesRowset, {true, true}},
    {&DBSCHEMA_STATISTICS, 3, 0x1 | 0x4, &StatisticsRowset, {}},
    {&DBSCHEMA_TABLES, 4, 0x1 | 0x4 | 0x8, &TablesRowset, {}},
    {&DBSCHEMA_VIEWS, 3, 0x1 | 0x4, &ViewsRowset, {}},
};

// Numeric restrictions arrive as numbers, booleans or, typed by a user,
// as text.
std::optional<int64_t> NumberOf(const VARIANT& v) {
  if (v.vt == VT_BOOL) return v.boolVal ? 1 : 0;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &v, 0, VT_I8))) return std::nullopt;
  return converted.llVal;
}

HRESULT ReadRestrictions(const SchemaDef& schema, ULONG count, const VARIANT values[],
                         CRestrictions& out) {
  if (count > schema.restrictionCount)
    return PostProviderError(E_INVALIDARG, IID_IDBSchemaRowset,
                             "More restrictions were given than the schema rowset has.");
  for (ULONG i = 0; i < count; ++i) {
    const VARIANT& v = values[i];
    if (v.vt == VT_EMPTY) continue;
    if (!(schema.supported & (1u << i)))
      return PostProviderError(DB_E_NOTSUPPORTED, IID_IDBSchemaRowset,
                               "Restriction " + std::to_string(i + 1) +
                                   " of this schema rowset is not supported.");
    if (schema.numeric[i]) {
      auto n = NumberOf(v);
      if (!n) return PostProviderError(E_INVALIDARG, IID_IDBSchemaRowset, "A restriction value has the wrong type.");
      out.number[i] = *n;
    } else {
      if (v.vt != VT_BSTR) return PostProviderError(E_INVALIDARG, IID_IDBSchemaRowset, "A restriction value has the wrong type.");
      out.text[i] = OleToAnsi(v.bstrVal ? v.bstrVal : u"");
    }
  }
  return S_OK;
}

// Takes the read lock of every catalog; SQLite's code of the first that
// cannot be had.
int LockCatalogs(sqlite3* db) {
  CSqliteStatement list;
  if (int rc = list.Prepare(db, "PRAGMA database_list"); rc != SQLITE_OK) return rc;
  int rc;
  while ((rc = list.Step()) == SQLITE_ROW) {
    CSqliteStatement read;
    std::string sql = "SELECT 1 FROM " + QuoteIdentifier(list.Text(1)) + ".sqlite_schema LIMIT 1";
    int readRc = read.Prepare(db, sql);
    if (readRc == SQLITE_OK) readRc = read.Step();
    if (readRc != SQLITE_ROW && readRc != SQLITE_DONE) return readRc;
  }
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

HRESULT GetSqliteSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  if (pcSchemas) *pcSchemas = 0;
  if (prgSchemas) *prgSchemas = nullptr;
  if (prgRestrictionSupport) *prgRestrictionSupport = nullptr;
  if (!pcSchemas || !prgSchemas || !prgRestrictionSupport) return E_INVALIDARG;
  constexpr size_t n = std::size(kSchemas);
  auto* guids = static_cast<GUID*>(CoTaskMemAlloc(n * sizeof(GUID)));
  auto* support = static_cast<ULONG*>(CoTaskMemAlloc(n * sizeof(ULONG)));
  if (!guids || !support) {
    CoTaskMemFree(guids);
    CoTaskMemFree(support);
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < n; ++i) {
    guids[i] = *kSchemas[i].guid;
    support[i] = kSchemas[i].supported;
  }
  *pcSchemas = static_cast<ULONG>(n);
  *prgSchemas = guids;
  *prgRestrictionSupport = support;
  return S_OK;
}

HRESULT GetSqliteSchemaRowset(sqlite3* db, REFGUID schema, ULONG cRestrictions,
                              const VARIANT rgRestrictions[], IUnknown* creator,
                              REFIID riid, IUnknown** ppRowset) {
  const SchemaDef* def = nullptr;
  for (const auto& s : kSchemas)
    if (*s.guid == schema) def = &s;
  if (!def)
    return PostProviderError(E_INVALIDARG, IID_IDBSchemaRowset, "The schema rowset is not supported.");
  CRestrictions restrictions;
  if (HRESULT hr = ReadRestrictions(*def, cRestrictions, rgRestrictions, restrictions); FAILED(hr))
    return hr;
  // One read transaction for the whole build: a lock held by another
  // connection is met once, up front, and reported rather than leaving
  // rows out.
  CSqliteSavepoint snapshot(db);
  if (snapshot.Status() != SQLITE_OK) return PostSqliteCodeError(IID_IDBSchemaRowset, snapshot.Status());
  if (int rc = LockCatalogs(db); rc != SQLITE_OK) return PostSqliteCodeError(IID_IDBSchemaRowset, rc);
  SchemaTable table = def->build(db, restrictions);
  snapshot.Release();
  return CreateMemoryRowset(std::move(table.columns), std::move(table.rows), creator,
                            CLSID_RavezovSQLite, std::u16string(kSqliteErrorSource), riid, ppRowset);
}
