#include "SqliteLiterals.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "objbase.h"
#include "stringapiset.h"

namespace {

struct LiteralDef {
  DBLITERAL literal;
  const char16_t* value;           // null when the literal has no value
  const char16_t* invalidChars;
  const char16_t* invalidStartingChars;
  ULONG maxLength;
};

// SQLite names have no length limit of their own; ~0u says so. Schemas do
// not exist: attached databases are catalogs.
constexpr ULONG kNoLimit = ~0u;
const LiteralDef kLiterals[] = {
    {DBLITERAL_CATALOG_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_CATALOG_SEPARATOR, u".", nullptr, nullptr, 1},
    {DBLITERAL_CHAR_LITERAL, nullptr, nullptr, nullptr, kNoLimit},
    {DBLITERAL_COLUMN_ALIAS, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_COLUMN_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_CORRELATION_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_INDEX_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_LIKE_PERCENT, u"%", nullptr, nullptr, 1},
    {DBLITERAL_LIKE_UNDERSCORE, u"_", nullptr, nullptr, 1},
    {DBLITERAL_QUOTE_PREFIX, u"\"", nullptr, nullptr, 1},
    {DBLITERAL_QUOTE_SUFFIX, u"\"", nullptr, nullptr, 1},
    {DBLITERAL_TABLE_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
    {DBLITERAL_TEXT_COMMAND, nullptr, nullptr, nullptr, kNoLimit},
    {DBLITERAL_VIEW_NAME, nullptr, u"\"", u"0123456789", kNoLimit},
};

const LiteralDef* FindLiteral(DBLITERAL lt) {
  for (const auto& d : kLiterals)
    if (d.literal == lt) return &d;
  return nullptr;
}

size_t TextUnits(const char16_t* s) { return s ? std::char_traits<char16_t>::length(s) + 1 : 0; }

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
  if (pcLiteralInfo) *pcLiteralInfo = 0;
  if (prgLiteralInfo) *prgLiteralInfo = nullptr;
  if (ppCharBuffer) *ppCharBuffer = nullptr;
  if (!pcLiteralInfo || !prgLiteralInfo || !ppCharBuffer || (cLiterals && !rgLiterals))
    return E_INVALIDARG;

  // No list asks for every literal the provider supports.
  std::vector<DBLITERAL> asked;
  if (cLiterals == 0) {
    for (const auto& d : kLiterals) asked.push_back(d.literal);
  } else {
    asked.assign(rgLiterals, rgLiterals + cLiterals);
  }

  size_t units = 0;
  for (DBLITERAL lt : asked) {
    if (const LiteralDef* d = FindLiteral(lt))
      units += TextUnits(d->value) + TextUnits(d->invalidChars) + TextUnits(d->invalidStartingChars);
  }
  auto* infos = static_cast<DBLITERALINFO*>(CoTaskMemAlloc(sizeof(DBLITERALINFO) * asked.size()));
  auto* buffer = units ? static_cast<OLECHAR*>(CoTaskMemAlloc(units * sizeof(OLECHAR))) : nullptr;
  if (!infos || (units && !buffer)) {
    CoTaskMemFree(infos);
    CoTaskMemFree(buffer);
    return E_OUTOFMEMORY;
  }
  OLECHAR* next = buffer;
  auto place = [&](const char16_t* s) -> LPOLESTR {
    if (!s) return nullptr;
    size_t n = TextUnits(s);
    std::memcpy(next, s, n * sizeof(OLECHAR));
    LPOLESTR at = next;
    next += n;
    return at;
  };
  size_t unsupported = 0;
  for (size_t i = 0; i < asked.size(); ++i) {
    DBLITERALINFO& info = infos[i];
    info = {};
    info.lt = asked[i];
    const LiteralDef* d = FindLiteral(asked[i]);
    if (!d) {
      info.fSupported = FALSE;
      ++unsupported;
      continue;
    }
    info.fSupported = TRUE;
    info.pwszLiteralValue = place(d->value);
    info.pwszInvalidChars = place(d->invalidChars);
    info.pwszInvalidStartingChars = place(d->invalidStartingChars);
    info.cchMaxLen = d->maxLength;
  }
  *pcLiteralInfo = static_cast<ULONG>(asked.size());
  *prgLiteralInfo = infos;
  *ppCharBuffer = buffer;
  if (unsupported == 0) return S_OK;
  return unsupported == asked.size() ? DB_E_ERRORSOCCURRED : DB_S_ERRORSOCCURRED;
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
