#include "BatchHandOver.h"

void BatchHandOver::Add(char* const* cells, DBCOUNTITEM rows) {
  m_texts.insert(m_texts.end(), cells, cells + rows * m_columns);
  m_rows += rows;
}

bool BatchHandOver::IsDue() const {
  return !m_handedOver || std::chrono::steady_clock::now() - m_lastHandOver >= kInterval;
}

std::unique_ptr<RowBatch> BatchHandOver::Take() {
  auto batch = std::make_unique<RowBatch>(m_firstRow, m_rows, std::move(m_texts), std::move(m_bookmarks));
  m_texts = {};
  m_bookmarks.Clear();
  m_bookmarkRows = 0;
  m_firstRow += static_cast<int>(m_rows);
  m_rows = 0;
  m_handedOver = true;
  m_lastHandOver = std::chrono::steady_clock::now();
  return batch;
}
