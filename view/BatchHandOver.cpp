#include "BatchHandOver.h"

#include "objbase.h"

void BatchHandOver::Add(char* const* cells, DBCOUNTITEM rows) {
  m_texts.insert(m_texts.end(), cells, cells + rows * m_columns);
  m_rows += rows;
}

bool BatchHandOver::IsDue() const {
  return !m_handedOver || std::chrono::steady_clock::now() - m_lastHandOver >= kInterval;
}

void BatchHandOver::Clear() {
  for (const char* text : m_texts) CoTaskMemFree(const_cast<char*>(text));
  m_texts.clear();
  m_bookmarks.Clear();
  m_bookmarkRows = 0;
  m_firstRow += static_cast<int>(m_rows);
  m_rows = 0;
  m_handedOver = true;
  m_lastHandOver = std::chrono::steady_clock::now();
}
