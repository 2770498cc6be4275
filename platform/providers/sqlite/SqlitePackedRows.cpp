#include "SqlitePackedRows.h"

uint64_t CSqlitePackedRows::Store(const CSqliteRow& row) {
  size_t size = row.PackedSize();
  if (size > kBlockSize) {
    // A row larger than a block gets one of its own; the next row starts
    // a fresh block.
    m_blocks.push_back(std::unique_ptr<char[]>(new char[size]));
    row.Pack(m_blocks.back().get());
    m_used = kBlockSize;
    return static_cast<uint64_t>(m_blocks.size() - 1) << 32;
  }
  if (m_blocks.empty() || m_used + size > kBlockSize) {
    m_blocks.push_back(std::unique_ptr<char[]>(new char[kBlockSize]));
    m_used = 0;
  }
  size_t block = m_blocks.size() - 1;
  row.Pack(m_blocks[block].get() + m_used);
  uint64_t entry = (static_cast<uint64_t>(block) << 32) | m_used;
  m_used += size;
  return entry;
}

size_t CSqlitePackedRows::Append(const CSqliteRow& row) {
  m_entries.push_back(Store(row));
  return m_entries.size() - 1;
}

void CSqlitePackedRows::Replace(size_t index, const CSqliteRow& row) {
  if (index < m_entries.size()) m_entries[index] = Store(row);
}

void CSqlitePackedRows::MarkDeleted(size_t index) {
  if (index < m_entries.size()) m_entries[index] |= kDeleted;
}

bool CSqlitePackedRows::Load(size_t index, CSqliteRow& row) const {
  if (index >= m_entries.size()) return false;
  uint64_t entry = m_entries[index];
  size_t block = static_cast<size_t>((entry & ~kDeleted) >> 32);
  size_t offset = static_cast<size_t>(entry & 0xFFFFFFFFu);
  row.Unpack(m_blocks[block].get() + offset, m_columns);
  row.deleted = (entry & kDeleted) != 0;
  return true;
}

void CSqlitePackedRows::Clear() {
  m_entries.clear();
  m_blocks.clear();
  m_used = kBlockSize;
}
