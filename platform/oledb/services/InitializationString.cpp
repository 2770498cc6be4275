#include "InitializationString.h"

#include <algorithm>

#include "stringapiset.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

class CInitStringReader {
 public:
  CInitStringReader(std::u16string_view text, std::string& error) : m_text(text), m_error(error) {}

  std::optional<std::vector<InitStringPair>> ReadAll() {
    std::vector<InitStringPair> pairs;
    while (SkipSeparators()) {
      InitStringPair pair;
      if (!ReadKeyword(pair.keyword) || !ReadValue(pair.keyword, pair.value)) return std::nullopt;
      pairs.push_back(std::move(pair));
    }
    return pairs;
  }

 private:
  // Empty entries (";;") and white space between entries are allowed.
  bool SkipSeparators() {
    while (m_pos < m_text.size() && (IsSpace(m_text[m_pos]) || m_text[m_pos] == u';')) ++m_pos;
    return m_pos < m_text.size();
  }

  bool ReadKeyword(std::u16string& keyword) {
    size_t end = m_text.find_first_of(u"=;", m_pos);
    std::u16string_view raw = m_text.substr(m_pos, end == std::u16string_view::npos ? end : end - m_pos);
    keyword = std::u16string(Trim(raw));
    if (end == std::u16string_view::npos || m_text[end] != u'=')
      return Fail("'" + OleToAnsi(keyword) + "' has no '=' and value");
    if (keyword.empty()) return Fail("a value has no keyword before its '='");
    m_pos = end + 1;
    return true;
  }

  bool ReadValue(const std::u16string& keyword, std::u16string& value) {
    while (m_pos < m_text.size() && IsSpace(m_text[m_pos]) && m_text[m_pos] != u';') ++m_pos;
    if (m_pos < m_text.size() && (m_text[m_pos] == u'"' || m_text[m_pos] == u'\''))
      return ReadQuoted(keyword, value);
    size_t end = m_text.find(u';', m_pos);
    if (end == std::u16string_view::npos) end = m_text.size();
    value = std::u16string(Trim(m_text.substr(m_pos, end - m_pos)));
    m_pos = end;
    return true;
  }

  bool ReadQuoted(const std::u16string& keyword, std::u16string& value) {
    const char16_t quote = m_text[m_pos++];
    for (;;) {
      if (m_pos >= m_text.size())
        return Fail("the value of '" + OleToAnsi(keyword) + "' has no closing quote");
      char16_t c = m_text[m_pos++];
      if (c != quote) {
        value.push_back(c);
      } else if (m_pos < m_text.size() && m_text[m_pos] == quote) {
        value.push_back(quote);
        ++m_pos;
      } else {
        break;
      }
    }
    while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] != u';')
      return Fail("the quoted value of '" + OleToAnsi(keyword) + "' is followed by other text");
    return true;
  }

  bool Fail(std::string message) {
    m_error = std::move(message);
    return false;
  }

  std::u16string_view m_text;
  std::string& m_error;
  size_t m_pos = 0;
};

bool NeedsQuotes(std::u16string_view value) {
  if (value.empty()) return false;
  if (IsSpace(value.front()) || IsSpace(value.back())) return true;
  return value.find_first_of(u";=\"'") != std::u16string_view::npos;
}

}  // namespace

std::optional<std::vector<InitStringPair>> ParseInitializationString(std::u16string_view text,
                                                                     std::string& error) {
  return CInitStringReader(text, error).ReadAll();
}

std::u16string QuoteInitStringValue(std::u16string_view value) {
  if (!NeedsQuotes(value)) return std::u16string(value);
  std::u16string quoted = u"\"";
  for (char16_t c : value) {
    if (c == u'"') quoted.push_back(u'"');
    quoted.push_back(c);
  }
  quoted.push_back(u'"');
  return quoted;
}

bool InitKeywordEquals(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

namespace {

// Owns a VARIANT for the length of a conversion.
struct CScopedVariant {
  CScopedVariant() { VariantInit(&v); }
  ~CScopedVariant() { VariantClear(&v); }
  CScopedVariant(const CScopedVariant&) = delete;
  CScopedVariant& operator=(const CScopedVariant&) = delete;
  VARIANT v;
};

std::optional<bool> ParseBool(std::u16string_view text) {
  if (InitKeywordEquals(text, u"true") || text == u"-1") return true;
  if (InitKeywordEquals(text, u"false") || text == u"0") return false;
  return std::nullopt;
}

}  // namespace

HRESULT InitValueFromText(VARTYPE type, std::u16string_view text, VARIANT& out) {
  VariantInit(&out);
  if (type == VT_BOOL) {
    std::optional<bool> b = ParseBool(text);
    if (!b) return DISP_E_TYPEMISMATCH;
    out.vt = VT_BOOL;
    out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  CScopedVariant source;
  source.v.vt = VT_BSTR;
  source.v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!source.v.bstrVal) return E_OUTOFMEMORY;
  if (type == VT_BSTR) return VariantCopy(&out, &source.v);
  HRESULT hr = VariantChangeType(&out, &source.v, 0, type);
  if (FAILED(hr)) VariantInit(&out);
  return hr;
}

HRESULT InitValueToText(const VARIANT& value, std::u16string& text) {
  if (value.vt == VT_BOOL) {
    text = value.boolVal ? u"True" : u"False";
    return S_OK;
  }
  CScopedVariant converted;
  HRESULT hr = VariantChangeType(&converted.v, &value, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  if (converted.v.vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
  text.assign(converted.v.bstrVal ? converted.v.bstrVal : u"", SysStringLen(converted.v.bstrVal));
  return S_OK;
}
