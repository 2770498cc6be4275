#include "SqliteSchemaRowsets.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ErrorRecords.h"
#include "SchemaRestrictions.h"
#include "SchemaRows.h"
#include "SqliteErrors.h"
#include "SqliteProvider.h"
#include "SqliteSavepoint.h"
#include "SqliteStatement.h"
#include "SqliteTypeMap.h"

namespace {

// SQLite compares names without regard to case, and so do restrictions.
bool Matches(const SchemaRestrictions& r, size_t i, const std::string& value) {
  return !r.Text(i) || sqlite3_stricmp(r.Text(i)->c_str(), value.c_str()) == 0;
}

NativeValue TextOrNull(const CSqliteStatement& s, int i) {
  return s.IsNull(i) ? NativeValue::Null() : NativeValue::Text(s.Text(i));
}

std::vector<std::string> Catalogs(sqlite3* db, const SchemaRestrictions& r, size_t index) {
  std::vector<std::string> names;
  CSqliteStatement list;
  if (list.Prepare(db, "PRAGMA database_list") != SQLITE_OK) return names;
  while (list.Step() == SQLITE_ROW)
    if (Matches(r, index, list.Text(1))) names.push_back(list.Text(1));
  return names;
}

struct TableEntry {
  std::string catalog, name, type, sql;
};

// Tables and views of the matching catalogs, in catalog then name order.
std::vector<TableEntry> Tables(sqlite3* db, const SchemaRestrictions& r, size_t catalogIndex,
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
      if (Matches(r, nameIndex, t.name)) tables.push_back(std::move(t));
    }
  }
  return tables;
}

std::string Pragma(const std::string& catalog, const char* pragma, const std::string& argument) {
  return "PRAGMA " + QuoteIdentifier(catalog) + "." + pragma + "(" + QuoteIdentifier(argument) + ")";
}

// ---- The rowsets -------------------------------------------------------

void CatalogsRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  CSqliteStatement list;
  if (list.Prepare(db, "PRAGMA database_list") != SQLITE_OK) return;
  while (list.Step() == SQLITE_ROW)
    if (Matches(r, 0, list.Text(1)))
      out.Add().Text(u"CATALOG_NAME", list.Text(1)).Set(u"DESCRIPTION", TextOrNull(list, 2));
}

std::string TableType(const TableEntry& e) {
  if (e.type == "view") return "VIEW";
  return e.name.rfind("sqlite_", 0) == 0 ? "SYSTEM TABLE" : "TABLE";
}

void TablesRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  std::vector<std::pair<TableEntry, std::string>> found;
  for (auto& e : Tables(db, r, 0, 2, false)) {
    std::string type = TableType(e);
    if (Matches(r, 3, type)) found.emplace_back(std::move(e), type);
  }
  std::stable_sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.second < b.second; });
  for (auto& [e, type] : found)
    out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name).Text(u"TABLE_TYPE", type);
}

void AddColumn(SchemaRows& out, const TableEntry& e, const CSqliteStatement& info, int64_t ordinal) {
  std::string declared = info.Text(2);
  SqliteColumnType type = MapSqliteType(declared.c_str(), SQLITE_NULL);
  bool notNull = info.Integer(3) != 0;
  bool hasDefault = !info.IsNull(4);
  bool fixedNumber = !type.isLong && (type.type == DBTYPE_I8 || type.type == DBTYPE_R8);
  DBCOLUMNFLAGS flags = DBCOLUMNFLAGS_WRITE;
  if (type.isLong) flags |= DBCOLUMNFLAGS_ISLONG;
  if (fixedNumber) flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
  if (!notNull) flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
  out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name).Text(u"COLUMN_NAME", info.Text(1))
      .Integer(u"ORDINAL_POSITION", ordinal).Bool(u"COLUMN_HASDEFAULT", hasDefault)
      .Set(u"COLUMN_DEFAULT", hasDefault ? NativeValue::Text(info.Text(4)) : NativeValue::Null())
      .Integer(u"COLUMN_FLAGS", flags).Bool(u"IS_NULLABLE", !notNull).Integer(u"DATA_TYPE", type.type);
  if ((type.type == DBTYPE_WSTR || type.type == DBTYPE_BYTES) && !type.isLong) {
    out.Integer(u"CHARACTER_MAXIMUM_LENGTH", type.size)
        .Integer(u"CHARACTER_OCTET_LENGTH", type.type == DBTYPE_WSTR ? int64_t{type.size} * 2 : type.size);
  }
  if (type.type == DBTYPE_I8 || type.type == DBTYPE_R8) out.Integer(u"NUMERIC_PRECISION", type.precision);
}

void ColumnsRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  for (const auto& e : Tables(db, r, 0, 2, false)) {
    CSqliteStatement info;
    if (info.Prepare(db, Pragma(e.catalog, "table_xinfo", e.name)) != SQLITE_OK) continue;
    int64_t ordinal = 0;
    while (info.Step() == SQLITE_ROW) {
      if (info.Integer(6) == 1) continue;  // hidden column of a virtual table
      ++ordinal;
      if (Matches(r, 3, info.Text(1))) AddColumn(out, e, info, ordinal);
    }
  }
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

void PrimaryKeysRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  for (const auto& e : Tables(db, r, 0, 2, true))
    for (const auto& k : PrimaryKey(db, e.catalog, e.name))
      out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name).Text(u"COLUMN_NAME", k.name)
          .Integer(u"ORDINAL", k.order);
}

std::string Rule(const std::string& action) {
  // The rowset knows four rules; RESTRICT behaves as NO ACTION here.
  if (action == "CASCADE" || action == "SET NULL" || action == "SET DEFAULT") return action;
  return "NO ACTION";
}

void ForeignKeysRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  // Restrictions: 0-2 the referenced table, 3-5 the referencing table.
  for (const auto& e : Tables(db, r, 3, 5, true)) {
    if (!Matches(r, 0, e.catalog)) continue;
    CSqliteStatement list;
    if (list.Prepare(db, Pragma(e.catalog, "foreign_key_list", e.name)) != SQLITE_OK) continue;
    while (list.Step() == SQLITE_ROW) {
      std::string target = list.Text(2);
      if (!Matches(r, 2, target)) continue;
      int64_t seq = list.Integer(1);
      std::string to = list.Text(4);
      if (list.IsNull(4)) {  // the referenced table's primary key, column by column
        auto key = PrimaryKey(db, e.catalog, target);
        if (static_cast<size_t>(seq) < key.size()) to = key[static_cast<size_t>(seq)].name;
      }
      out.Add().Text(u"PK_TABLE_CATALOG", e.catalog).Text(u"PK_TABLE_NAME", target).Text(u"PK_COLUMN_NAME", to)
          .Text(u"FK_TABLE_CATALOG", e.catalog).Text(u"FK_TABLE_NAME", e.name)
          .Text(u"FK_COLUMN_NAME", list.Text(3)).Integer(u"ORDINAL", seq + 1)
          .Text(u"UPDATE_RULE", Rule(list.Text(5))).Text(u"DELETE_RULE", Rule(list.Text(6)))
          .Integer(u"DEFERRABILITY", DBPROPVAL_DF_NOT_DEFERRABLE);
    }
  }
}

void AddIndexColumns(sqlite3* db, const TableEntry& e, const std::string& index, bool primary, bool unique,
                     SchemaRows& out) {
  CSqliteStatement columns;
  if (columns.Prepare(db, Pragma(e.catalog, "index_xinfo", index)) != SQLITE_OK) return;
  while (columns.Step() == SQLITE_ROW) {
    if (columns.Integer(5) == 0) continue;  // not a key column
    out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name).Text(u"INDEX_CATALOG", e.catalog)
        .Text(u"INDEX_NAME", index).Bool(u"PRIMARY_KEY", primary).Bool(u"UNIQUE", unique)
        .Bool(u"CLUSTERED", false).Integer(u"TYPE", DBPROPVAL_IT_BTREE).Integer(u"NULLS", DBPROPVAL_IN_ALLOWNULL)
        .Bool(u"SORT_BOOKMARKS", false).Bool(u"AUTO_UPDATE", true).Integer(u"NULL_COLLATION", DBPROPVAL_NC_LOW)
        .Integer(u"ORDINAL_POSITION", columns.Integer(0) + 1).Set(u"COLUMN_NAME", TextOrNull(columns, 2))
        .Integer(u"COLLATION", columns.Integer(3) ? DB_COLLATION_DESC : DB_COLLATION_ASC)
        .Bool(u"INTEGRATED", false);
  }
}

void IndexesRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  // Restrictions: 0 catalog, 1 schema, 2 index name, 3 type, 4 table name.
  for (const auto& e : Tables(db, r, 0, 4, true)) {
    CSqliteStatement list;
    if (list.Prepare(db, Pragma(e.catalog, "index_list", e.name)) != SQLITE_OK) continue;
    while (list.Step() == SQLITE_ROW) {
      std::string index = list.Text(1);
      if (!Matches(r, 2, index) || !r.MatchesNumber(3, DBPROPVAL_IT_BTREE)) continue;
      AddIndexColumns(db, e, index, list.Text(3) == "pk", list.Integer(2) != 0, out);
    }
  }
}

void ViewsRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  for (const auto& e : Tables(db, r, 0, 2, false, true))
    out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name).Text(u"VIEW_DEFINITION", e.sql)
        .Bool(u"CHECK_OPTION", false).Bool(u"IS_UPDATABLE", false);
}

void StatisticsRowset(sqlite3* db, const SchemaRestrictions& r, SchemaRows& out) {
  for (const auto& e : Tables(db, r, 0, 2, true)) {
    CSqliteStatement count;
    std::string sql = "SELECT count(*) FROM " + QuoteIdentifier(e.catalog) + "." + QuoteIdentifier(e.name);
    out.Add().Text(u"TABLE_CATALOG", e.catalog).Text(u"TABLE_NAME", e.name);
    if (count.Prepare(db, sql) == SQLITE_OK && count.Step() == SQLITE_ROW)
      out.Integer(u"CARDINALITY", count.Integer(0));
  }
}

struct TypeRow {
  const char* name;
  DBTYPE type;
  int64_t size;
  const char* prefix;
  bool caseSensitive;
  bool isLong;
  bool fixed;
};

void ProviderTypesRowset(sqlite3*, const SchemaRestrictions& r, SchemaRows& out) {
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
    if (r.Number(1) && *r.Number(1) == 0) continue;  // every row is its type's best match
    out.Add().Text(u"TYPE_NAME", ty.name).Integer(u"DATA_TYPE", ty.type).Integer(u"COLUMN_SIZE", ty.size)
        .Bool(u"IS_NULLABLE", true).Bool(u"CASE_SENSITIVE", ty.caseSensitive).Integer(u"SEARCHABLE", kSearchable)
        .Bool(u"FIXED_PREC_SCALE", false).Bool(u"AUTO_UNIQUE_VALUE", false).Text(u"LOCAL_TYPE_NAME", ty.name)
        .Bool(u"IS_LONG", ty.isLong).Bool(u"BEST_MATCH", true).Bool(u"IS_FIXEDLENGTH", ty.fixed);
    if (ty.prefix) out.Text(u"LITERAL_PREFIX", ty.prefix).Text(u"LITERAL_SUFFIX", "'");
    if (ty.type == DBTYPE_I8 || ty.type == DBTYPE_R8) out.Bool(u"UNSIGNED_ATTRIBUTE", false);
  }
}

// ---- The schema table --------------------------------------------------

using Builder = void (*)(sqlite3*, const SchemaRestrictions&, SchemaRows&);

struct SchemaDef {
  const GUID* guid;
  ULONG supported;  // bit i: restriction i may have a value
  ULONG numeric;    // bit i: restriction i is a number, not text
  Builder build;
};

const SchemaDef kSchemas[] = {
    {&DBSCHEMA_CATALOGS, 0x1, 0, &CatalogsRowset},
    {&DBSCHEMA_COLUMNS, 0x1 | 0x4 | 0x8, 0, &ColumnsRowset},
    {&DBSCHEMA_FOREIGN_KEYS, 0x1 | 0x4 | 0x8 | 0x20, 0, &ForeignKeysRowset},
    {&DBSCHEMA_INDEXES, 0x1 | 0x4 | 0x8 | 0x10, 0x8, &IndexesRowset},
    {&DBSCHEMA_PRIMARY_KEYS, 0x1 | 0x4, 0, &PrimaryKeysRowset},
    {&DBSCHEMA_PROVIDER_TYPES, 0x1 | 0x2, 0x3, &ProviderTypesRowset},
    {&DBSCHEMA_STATISTICS, 0x1 | 0x4, 0, &StatisticsRowset},
    {&DBSCHEMA_TABLES, 0x1 | 0x4 | 0x8, 0, &TablesRowset},
    {&DBSCHEMA_VIEWS, 0x1 | 0x4, 0, &ViewsRowset},
};

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
  std::vector<SupportedSchema> schemas;
  for (const auto& s : kSchemas) schemas.push_back({s.guid, s.supported});
  return ListSchemas(schemas, pcSchemas, prgSchemas, prgRestrictionSupport);
}

HRESULT GetSqliteSchemaRowset(sqlite3* db, REFGUID schema, ULONG cRestrictions,
                              const VARIANT rgRestrictions[], IUnknown* creator,
                              REFIID riid, IUnknown** ppRowset) {
  const SchemaDef* def = nullptr;
  for (const auto& s : kSchemas)
    if (*s.guid == schema) def = &s;
  const SchemaLayout* layout = FindSchemaLayout(schema);
  if (!def || !layout)
    return PostProviderError(E_INVALIDARG, IID_IDBSchemaRowset, "The schema rowset is not supported.");
  SchemaRestrictions restrictions;
  if (HRESULT hr = restrictions.Read(*layout, def->supported, def->numeric, cRestrictions, rgRestrictions,
                                     CLSID_RavezovSQLite, kSqliteErrorSource);
      FAILED(hr))
    return hr;
  // One read transaction for the whole build: a lock held by another
  // connection is met once, up front, and reported rather than leaving
  // rows out.
  CSqliteSavepoint snapshot(db);
  if (snapshot.Status() != SQLITE_OK) return PostSqliteCodeError(IID_IDBSchemaRowset, snapshot.Status());
  if (int rc = LockCatalogs(db); rc != SQLITE_OK) return PostSqliteCodeError(IID_IDBSchemaRowset, rc);
  SchemaRows rows(*layout);
  def->build(db, restrictions, rows);
  snapshot.Release();
  return rows.CreateRowset(creator, CLSID_RavezovSQLite, std::u16string(kSqliteErrorSource), riid, ppRowset);
}
