#include "SqliteRowKeys.h"

#include <algorithm>

void CSqliteRowKeys::Append(int64_t key) {
  if (!m_keys.empty() && key <= m_keys.back()) m_ascending = false;
  m_keys.push_back(key);
}

void CSqliteRowKeys::Set(size_t position, int64_t key) {
  if (position >= m_keys.size() || m_keys[position] == key) return;
  m_keys[position] = key;
  bool ordered = (position == 0 || m_keys[position - 1] < key) &&
                 (position + 1 == m_keys.size() || key < m_keys[position + 1]);
  if (!ordered) m_ascending = false;
  m_index.clear();
  m_indexed = 0;
}

std::optional<size_t> CSqliteRowKeys::Find(int64_t key) {
  if (m_ascending) {
    auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (it == m_keys.end() || *it != key) return std::nullopt;
    return static_cast<size_t>(it - m_keys.begin());
  }
  if (m_indexed != m_keys.size()) {
    m_index.clear();
    m_index.reserve(m_keys.size());
    for (size_t i = 0; i < m_keys.size(); ++i) m_index.emplace_back(m_keys[i], i);
    std::sort(m_index.begin(), m_index.end());
    m_indexed = m_keys.size();
  }
  auto it = std::lower_bound(m_index.begin(), m_index.end(), std::make_pair(key, size_t{0}));
  if (it == m_index.end() || it->first != key) return std::nullopt;
  return it->second;
}

void CSqliteRowKeys::Clear() {
  std::deque<int64_t>().swap(m_keys);
  m_ascending = true;
  m_index.clear();
  m_indexed = 0;
}
