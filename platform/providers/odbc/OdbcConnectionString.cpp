#include "OdbcConnectionString.h"

#include <algorithm>

namespace {

std::u16string Upper(std::u16string s) {
  for (auto& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return s;
}

// Whether a keyword starts one of the string's attributes.
bool NamesKeyword(const std::u16string& connection, const std::u16string& keyword) {
  const std::u16string upper = Upper(connection);
  size_t start = 0;
  while (start < upper.size()) {
    size_t first = upper.find_first_not_of(u" ;", start);
    if (first == std::u16string::npos) break;
    if (upper.compare(first, keyword.size(), keyword) == 0) {
      size_t after = upper.find_first_not_of(u' ', first + keyword.size());
      if (after != std::u16string::npos && upper[after] == u'=') return true;
    }
    // Skip this attribute, braced values included.
    size_t equals = upper.find(u'=', first);
    if (equals == std::u16string::npos) break;
    size_t value = upper.find_first_not_of(u' ', equals + 1);
    if (value != std::u16string::npos && upper[value] == u'{') {
      size_t close = value + 1;
      while (close < upper.size()) {
        if (upper[close] == u'}' && close + 1 < upper.size() && upper[close + 1] == u'}') {
          close += 2;
          continue;
        }
        if (upper[close] == u'}') break;
        ++close;
      }
      start = upper.find(u';', close);
    } else {
      start = upper.find(u';', equals);
    }
    if (start == std::u16string::npos) break;
  }
  return false;
}

void Append(std::u16string& out, const char16_t* keyword, const std::u16string& value) {
  if (value.empty()) return;
  if (!out.empty() && out.back() != u';') out += u';';
  out += keyword;
  out += u'=';
  out += QuoteOdbcValue(value);
}

}  // namespace

std::u16string QuoteOdbcValue(const std::u16string& value) {
  const bool plain = value.find_first_of(u";{}=") == std::u16string::npos && value.front() != u' ' &&
                     value.back() != u' ';
  if (plain) return value;
  std::u16string quoted = u"{";
  for (char16_t c : value) {
    quoted += c;
    if (c == u'}') quoted += u'}';
  }
  quoted += u'}';
  return quoted;
}

std::u16string BuildOdbcConnectionString(const OdbcConnectionSettings& s) {
  std::u16string out = s.extended;
  if (!NamesKeyword(out, u"DSN") && !NamesKeyword(out, u"DRIVER") && !NamesKeyword(out, u"FILEDSN"))
    Append(out, u"DSN", s.dataSource);
  if (!NamesKeyword(out, u"UID")) Append(out, u"UID", s.userId);
  if (!NamesKeyword(out, u"PWD")) Append(out, u"PWD", s.password);
  if (!NamesKeyword(out, u"DATABASE")) Append(out, u"DATABASE", s.initialCatalog);
  return out;
}
