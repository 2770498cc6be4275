#include "ReportListModel.h"

#include <cstring>

namespace {

// What one deque block costs besides its elements: the map's pointer.
constexpr size_t kDequeBlockBytes = 512;

template <class T>
size_t DequeBytes(const std::deque<T>& d) {
  const size_t perBlock = kDequeBlockBytes / sizeof(T);
  const size_t blocks = d.size() / perBlock + 1;
  return blocks * (kDequeBlockBytes + sizeof(void*));
}

}  // namespace

bool ReportListModel::StoreCell(size_t index, const char* text) {
  if (!text || !*text) return true;
  return m_arena.Store(std::string_view(text, std::strlen(text)), m_cells[index]);
}

bool ReportListModel::InsertRows(int at, int rowCount, int columns, const char* const* texts) {
  if (at < 0 || at > RowCount() || rowCount < 0 || columns < 0 || (rowCount > 0 && columns > 0 && !texts))
    return false;
  const size_t first = static_cast<size_t>(at) * m_stride;
  m_cells.insert(m_cells.begin() + first, static_cast<size_t>(rowCount) * m_stride, TextArena::Ref{0});
  m_states.insert(m_states.begin() + at, rowCount, uint8_t{0});
  const int stored = columns < m_stride ? columns : m_stride;
  bool ok = true;
  for (int r = 0; r < rowCount; ++r)
    for (int c = 0; c < stored; ++c) ok = StoreCell(first + size_t(r) * m_stride + c, texts[size_t(r) * columns + c]) && ok;
  return ok;
}

bool ReportListModel::InsertRow(int at, std::string_view firstText) {
  if (at < 0 || at > RowCount()) return false;
  const size_t first = static_cast<size_t>(at) * m_stride;
  m_cells.insert(m_cells.begin() + first, m_stride, TextArena::Ref{0});
  m_states.insert(m_states.begin() + at, uint8_t{0});
  return m_arena.Store(firstText, m_cells[first]);
}

bool ReportListModel::SetText(int row, int subItem, std::string_view text) {
  if (row < 0 || row >= RowCount() || subItem < 0 || subItem >= m_stride) return false;
  TextArena::Ref& cell = m_cells[static_cast<size_t>(row) * m_stride + subItem];
  if (m_arena.View(cell) == text) return true;
  TextArena::Ref fresh = 0;
  if (!m_arena.Store(text, fresh)) return false;
  m_arena.Forget(cell);
  cell = fresh;
  return true;
}

std::string_view ReportListModel::Text(int row, int subItem) const {
  if (row < 0 || row >= RowCount() || subItem < 0 || subItem >= m_stride) return {};
  return m_arena.View(m_cells[static_cast<size_t>(row) * m_stride + subItem]);
}

bool ReportListModel::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  const auto first = m_cells.begin() + static_cast<size_t>(row) * m_stride;
  for (auto it = first; it != first + m_stride; ++it) m_arena.Forget(*it);
  m_cells.erase(first, first + m_stride);
  m_states.erase(m_states.begin() + row);
  return true;
}

void ReportListModel::Clear() {
  std::deque<TextArena::Ref>().swap(m_cells);
  std::deque<uint8_t>().swap(m_states);
  m_arena.Clear();
}

void ReportListModel::Restride(int newStride, int insertedAt, int deletedAt) {
  std::deque<TextArena::Ref> cells;
  for (int row = 0; row < RowCount(); ++row) {
    for (int c = 0; c < m_stride; ++c) {
      const TextArena::Ref ref = m_cells[static_cast<size_t>(row) * m_stride + c];
      if (c == insertedAt) cells.push_back(0);
      if (c == deletedAt)
        m_arena.Forget(ref);
      else
        cells.push_back(ref);
    }
    while (cells.size() < static_cast<size_t>(row + 1) * newStride) cells.push_back(0);
  }
  m_cells.swap(cells);
  m_stride = newStride;
}

void ReportListModel::InsertColumn(int at, int newColumnCount) {
  const int stride = newColumnCount > 1 ? newColumnCount : 1;
  // The first column added to a list holds the items' own texts already.
  if (stride == m_stride) return;
  Restride(stride, newColumnCount == 1 ? -1 : at, -1);
}

void ReportListModel::DeleteColumn(int at, int newColumnCount) {
  const int stride = newColumnCount > 1 ? newColumnCount : 1;
  if (stride == m_stride) {
    if (at == 0) for (int row = 0; row < RowCount(); ++row) SetText(row, 0, {});
    return;
  }
  Restride(stride, -1, at);
}

ReportListMemory ReportListModel::Memory() const {
  ReportListMemory memory;
  memory.cells = m_cells.size();
  memory.textBytes = m_arena.LiveBytes();
  memory.overheadBytes = DequeBytes(m_cells) + DequeBytes(m_states) + m_arena.ReservedBytes() - m_arena.LiveBytes();
  return memory;
}
