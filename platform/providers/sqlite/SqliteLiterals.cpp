#include "SqliteLiterals.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "LiteralInfo.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

// SQLite names have no length limit of their own; ~0u says so. Schemas do
// not exist: attached databases are catalogs.
constexpr ULONG kNoLimit = ~0u;

const std::vector<LiteralEntry>& Literals() {
  static const std::vector<LiteralEntry> literals = {
      {DBLITERAL_CATALOG_NAME, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_CATALOG_SEPARATOR, u".", u"", u"", 1},
      {DBLITERAL_CHAR_LITERAL, u"", u"", u"", kNoLimit},
      {DBLITERAL_COLUMN_ALIAS, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_COLUMN_NAME, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_CORRELATION_NAME, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_INDEX_NAME, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_LIKE_PERCENT, u"%", u"", u"", 1},
      {DBLITERAL_LIKE_UNDERSCORE, u"_", u"", u"", 1},
      {DBLITERAL_QUOTE_PREFIX, u"\"", u"", u"", 1},
      {DBLITERAL_QUOTE_SUFFIX, u"\"", u"", u"", 1},
      {DBLITERAL_TABLE_NAME, u"", u"\"", u"0123456789", kNoLimit},
      {DBLITERAL_TEXT_COMMAND, u"", u"", u"", kNoLimit},
      {DBLITERAL_VIEW_NAME, u"", u"\"", u"0123456789", kNoLimit},
  };
  return literals;
}

// Keywords of the ODBC list that need not be reported again.
const char* const kOdbcKeywords[] = {
    "ABSOLUTE", "ACTION", "ADA", "ADD", "ALL", "ALLOCATE", "ALTER", "AND", "ANY", "ARE", "AS",
    "ASC", "ASSERTION", "AT", "AUTHORIZATION", "AVG", "BEGIN", "BETWEEN", "BIT", "BIT_LENGTH",
    "BOTH", "BY", "CASCADE", "CASCADED", "CASE", "CAST", "CATALOG", "CHAR", "CHAR_LENGTH",
    "CHARACTER", "CHARACTER_LENGTH", "CHECK", "CLOSE", "COALESCE", "COLLATE", "COLLATION",
    "COLUMN", "COMMIT", "CONNECT", "CONNECTION", "CONSTRAINT", "CONSTRAINTS", "CONTINUE",
    "CONVERT", "CORRESPONDING", "COUNT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE",
    "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATE", "DAY", "DEALLOCATE",
    "DEC", "DECIMAL", "DECLARE", "DEFAULT", "DEFERRABLE", "DEFERRED", "DELETE", "DESC",
    "DESCRIBE", "DESCRIPTOR", "DIAGNOSTICS", "DISCONNECT", "DISTINCT", "DOMAIN", "DOUBLE", "DROP",
    "ELSE", "END", "END-EXEC", "ESCAPE", "EXCEPT", "EXCEPTION", "EXEC", "EXECUTE", "EXISTS",
    "EXTERNAL", "EXTRACT", "FALSE", "FETCH", "FIRST", "FLOAT", "FOR", "FOREIGN", "FORTRAN",
    "FOUND", "FROM", "FULL", "GET", "GLOBAL", "GO", "GOTO", "GRANT", "GROUP", "HAVING", "HOUR",
    "IDENTITY", "IMMEDIATE", "IN", "INCLUDE", "INDEX", "INDICATOR", "INITIALLY", "INNER", "INPUT",
    "INSENSITIVE", "INSERT", "INT", "INTEGER", "INTERSECT", "INTERVAL", "INTO", "IS", "ISOLATION",
    "JOIN", "KEY", "LANGUAGE", "LAST", "LEADING", "LEFT", "LEVEL", "LIKE", "LOCAL", "LOWER",
    "MATCH", "MAX", "MIN", "MINUTE", "MODULE", "MONTH", "NAMES", "NATIONAL", "NATURAL", "NCHAR",
    "NEXT", "NO", "NONE", "NOT", "NULL", "NULLIF", "NUMERIC", "OCTET_LENGTH", "OF", "ON", "ONLY",
    "OPEN", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVERLAPS", "PAD", "PARTIAL", "PASCAL",
    "POSITION", "PRECISION", "PREPARE", "PRESERVE", "PRIMARY", "PRIOR", "PRIVILEGES",
    "PROCEDURE", "PUBLIC", "READ", "REAL", "REFERENCES", "RELATIVE", "RESTRICT", "REVOKE",
    "RIGHT", "ROLLBACK", "ROWS", "SCHEMA", "SCROLL", "SECOND", "SECTION", "SELECT", "SESSION",
    "SESSION_USER", "SET", "SIZE", "SMALLINT", "SOME", "SPACE", "SQL", "SQLCA", "SQLCODE",
    "SQLERROR", "SQLSTATE", "SQLWARNING", "SUBSTRING", "SUM", "SYSTEM_USER", "TABLE",
    "TEMPORARY", "THEN", "TIME", "TIMESTAMP", "TIMEZONE_HOUR", "TIMEZONE_MINUTE", "TO",
    "TRAILING", "TRANSACTION", "TRANSLATE", "TRANSLATION", "TRIM", "TRUE", "UNION", "UNIQUE",
    "UNKNOWN", "UPDATE", "UPPER", "USAGE", "USER", "USING", "VALUE", "VALUES", "VARCHAR",
    "VARYING", "VIEW", "WHEN", "WHENEVER", "WHERE", "WITH", "WORK", "WRITE", "YEAR", "ZONE"};

bool IsOdbcKeyword(const std::string& word) {
  for (const char* k : kOdbcKeywords)
    if (word == k) return true;
  return false;
}

}  // namespace

HRESULT GetSqliteLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                             DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) {
  return FillLiteralInfo(Literals(), cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo, ppCharBuffer);
}

HRESULT GetSqliteKeywords(LPOLESTR* ppwszKeywords) {
  if (!ppwszKeywords) return E_INVALIDARG;
  *ppwszKeywords = nullptr;
  std::vector<std::string> words;
  for (int i = 0, n = sqlite3_keyword_count(); i < n; ++i) {
    const char* name = nullptr;
    int len = 0;
    if (sqlite3_keyword_name(i, &name, &len) != SQLITE_OK) continue;
    std::string word(name, len);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!IsOdbcKeyword(word)) words.push_back(word);
  }
  std::sort(words.begin(), words.end());
  std::string joined;
  for (const auto& w : words) {
    if (!joined.empty()) joined += ',';
    joined += w;
  }
  std::u16string wide = AnsiToOle(joined);
  auto* out = static_cast<OLECHAR*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
  if (!out) return E_OUTOFMEMORY;
  std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
  *ppwszKeywords = out;
  return S_OK;
}
