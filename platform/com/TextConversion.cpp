// UTF-16 <-> UTF-8 (the "ANSI code page" here), and small string routines.
#include <cstring>
#include <string>

#include "stringapiset.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at s (n bytes left); malformed input gives U+FFFD
// and consumes one byte, so conversion never stops or reads past the end.
char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& used) {
  used = 1;
  unsigned char c = s[0];
  if (c < 0x80) return c;
  int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || static_cast<size_t>(extra) >= n) return kReplacement;
  char32_t cp = c & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((s[i] & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  used = static_cast<size_t>(extra) + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

size_t OleStrLen(LPCOLESTR s) {
  if (!s) return 0;
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

std::string OleToAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string OleToAnsi(LPCOLESTR s) { return s ? OleToAnsi(std::u16string_view(s)) : std::string(); }

std::u16string AnsiToOle(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  auto* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size();
  for (size_t i = 0; i < n;) {
    size_t used = 0;
    char32_t cp = DecodeUtf8(p + i, n - i, used);
    i += used;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

int WideCharToMultiByte(UINT /*codePage*/, DWORD /*flags*/, LPCWSTR src, int cchSrc, LPSTR dst,
                        int cbDst, LPCSTR /*defaultChar*/, BOOL* usedDefault) {
  if (usedDefault) *usedDefault = FALSE;
  if (!src || cbDst < 0) return 0;
  bool withTerminator = cchSrc < 0;
  size_t len = withTerminator ? OleStrLen(src) : static_cast<size_t>(cchSrc);
  std::string text = OleToAnsi(std::u16string_view(src, len));
  size_t needed = text.size() + (withTerminator ? 1 : 0);
  if (cbDst == 0) return static_cast<int>(needed);
  if (!dst || needed > static_cast<size_t>(cbDst)) return 0;
  std::memcpy(dst, text.data(), text.size());
  if (withTerminator) dst[text.size()] = 0;
  return static_cast<int>(needed);
}

int MultiByteToWideChar(UINT /*codePage*/, DWORD /*flags*/, LPCSTR src, int cbSrc, LPWSTR dst,
                        int cchDst) {
  if (!src || cchDst < 0) return 0;
  bool withTerminator = cbSrc < 0;
  size_t len = withTerminator ? std::strlen(src) : static_cast<size_t>(cbSrc);
  std::u16string text = AnsiToOle(std::string_view(src, len));
  size_t needed = text.size() + (withTerminator ? 1 : 0);
  if (cchDst == 0) return static_cast<int>(needed);
  if (!dst || needed > static_cast<size_t>(cchDst)) return 0;
  std::memcpy(dst, text.data(), text.size() * sizeof(char16_t));
  if (withTerminator) dst[text.size()] = 0;
  return static_cast<int>(needed);
}

int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

LPSTR lstrcpyA(LPSTR dst, LPCSTR src) {
  if (!dst || !src) return nullptr;
  return std::strcpy(dst, src);
}
