// The application's string: UTF-8 text over std::string with the operations
// the dialogs' code is written in (formatting, searching, slicing, case).
#pragma once

#include <string>
#include <string_view>

#include "wtypes.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}
  CString(const std::string& text) : m_text(text) {}
  CString(std::string&& text) : m_text(std::move(text)) {}
  CString(std::string_view text) : m_text(text) {}
  CString(char ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
  CString(const char* text, int length);

  operator const char*() const { return m_text.c_str(); }
  const char* GetString() const { return m_text.c_str(); }
  const char* c_str() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  std::string& str() { return m_text; }

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }

  CString& operator=(const char* text);
  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);

  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* chars) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& TrimLeft(char ch);
  CString& TrimRight(char ch);
  int Replace(char oldCh, char newCh);
  int Replace(const char* oldText, const char* newText);
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  int Remove(char ch);

  // printf-style; returns nothing like the original, the result is the string.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Raw buffer access for code that fills a character array.
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

 private:
  int Clamp(int index) const;
  std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
