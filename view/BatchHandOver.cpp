#include "BatchHandOver.h"

#include <cstring>

#include "objbase.h"

void BatchHandOver::Add(char* const* cells, DBCOUNTITEM rows) {
  const size_t count = static_cast<size_t>(rows) * m_columns;
  for (size_t i = 0; i < count; ++i) {
    char* text = cells[i];
    if (!text) {
      m_offsets.push_back(kEmpty);
      continue;
    }
    m_offsets.push_back(m_bytes.size());
    m_bytes.insert(m_bytes.end(), text, text + std::strlen(text) + 1);
    CoTaskMemFree(text);
  }
  m_rows += rows;
}

const char* BatchHandOver::Text(size_t index) const {
  return index < m_offsets.size() && m_offsets[index] != kEmpty ? m_bytes.data() + m_offsets[index] : nullptr;
}

bool BatchHandOver::IsDue() const {
  return !m_handedOver || std::chrono::steady_clock::now() - m_lastHandOver >= kInterval;
}

std::unique_ptr<RowBatch> BatchHandOver::Take() {
  std::vector<const char*> texts(m_offsets.size());
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = Text(i);
  const size_t bytesBefore = m_bytes.size();
  auto batch = std::make_unique<RowBatch>(m_firstRow, m_rows, std::move(m_bytes), std::move(texts),
                                          std::move(m_bookmarks));
  // The next batch is likely as large: no growing step by step.
  m_bytes = {};
  m_bytes.reserve(bytesBefore);
  m_offsets.clear();
  m_bookmarks.Clear();
  m_bookmarkRows = 0;
  m_firstRow += static_cast<int>(m_rows);
  m_rows = 0;
  m_handedOver = true;
  m_lastHandOver = std::chrono::steady_clock::now();
  return batch;
}
