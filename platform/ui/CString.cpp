#include "CString.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <strings.h>

namespace {

std::string FormatV(const char* format, va_list args) {
  if (!format) return {};
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(needed));
  return out;
}

bool IsSpace(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }

}  // namespace

CString::CString(const char* text, int length) {
  if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

int CString::Clamp(int index) const { return std::clamp(index, 0, GetLength()); }

char CString::GetAt(int index) const {
  return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch) {
  if (index >= 0 && index < GetLength()) m_text[static_cast<size_t>(index)] = ch;
}

CString& CString::operator=(const char* text) {
  m_text = text ? text : "";
  return *this;
}

CString& CString::operator+=(const CString& other) {
  m_text += other.m_text;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) m_text += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  m_text += ch;
  return *this;
}

int CString::Compare(const char* other) const { return std::strcmp(c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
  return strcasecmp(c_str(), other ? other : "");
}

CString CString::Left(int count) const { return CString(m_text.substr(0, static_cast<size_t>(Clamp(count)))); }

CString CString::Mid(int first) const { return CString(m_text.substr(static_cast<size_t>(Clamp(first)))); }

CString CString::Mid(int first, int count) const {
  const int start = Clamp(first);
  const int length = std::clamp(count, 0, GetLength() - start);
  return CString(m_text.substr(static_cast<size_t>(start), static_cast<size_t>(length)));
}

CString CString::Right(int count) const {
  const int length = Clamp(count);
  return CString(m_text.substr(static_cast<size_t>(GetLength() - length)));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const size_t at = m_text.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  const size_t at = m_text.find(sub, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  const size_t at = m_text.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* chars) const {
  if (!chars) return -1;
  const size_t at = m_text.find_first_of(chars);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeUpper() {
  for (char& ch : m_text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return *this;
}

CString& CString::MakeLower() {
  for (char& ch : m_text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
  m_text.erase(m_text.begin(), std::find_if_not(m_text.begin(), m_text.end(), IsSpace));
  return *this;
}

CString& CString::TrimRight() {
  m_text.erase(std::find_if_not(m_text.rbegin(), m_text.rend(), IsSpace).base(), m_text.end());
  return *this;
}

CString& CString::TrimLeft(char ch) {
  m_text.erase(0, m_text.find_first_not_of(ch));
  return *this;
}

CString& CString::TrimRight(char ch) {
  const size_t last = m_text.find_last_not_of(ch);
  m_text.erase(last == std::string::npos ? 0 : last + 1);
  return *this;
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& ch : m_text)
    if (ch == oldCh) {
      ch = newCh;
      ++count;
    }
  return count;
}

int CString::Replace(const char* oldText, const char* newText) {
  if (!oldText || !*oldText) return 0;
  const std::string from(oldText);
  const std::string to(newText ? newText : "");
  int count = 0;
  for (size_t at = m_text.find(from); at != std::string::npos; at = m_text.find(from, at + to.size())) {
    m_text.replace(at, from.size(), to);
    ++count;
  }
  return count;
}

int CString::Insert(int index, char ch) {
  m_text.insert(static_cast<size_t>(Clamp(index)), 1, ch);
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  if (text) m_text.insert(static_cast<size_t>(Clamp(index)), text);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0)
    m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

int CString::Remove(char ch) {
  const auto tail = std::remove(m_text.begin(), m_text.end(), ch);
  const int removed = static_cast<int>(m_text.end() - tail);
  m_text.erase(tail, m_text.end());
  return removed;
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_text = FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_text += FormatV(format, args);
  va_end(args);
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(std::strlen(m_text.c_str()));
  m_text.resize(static_cast<size_t>(Clamp(newLength)));
}

CString operator+(const CString& a, const CString& b) { return CString(a.str() + b.str()); }
CString operator+(const CString& a, const char* b) { return CString(a.str() + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.str()); }
CString operator+(const CString& a, char b) { return CString(a.str() + b); }
CString operator+(char a, const CString& b) { return CString(a + b.str()); }
bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
