#include "COdbcRowStore.h"

#include <cstring>

void COdbcRowStore::AddReal(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  m_cells.push_back({bits, 0, NativeKind::Real});
}

void COdbcRowStore::AddBytes(NativeKind kind, const void* data, size_t size) {
  m_cells.push_back({m_bytes.size(), static_cast<uint32_t>(size), kind});
  m_bytes.append(static_cast<const char*>(data), size);
}

NativeValueView COdbcRowStore::View(size_t row, size_t column) const {
  const Cell& c = m_cells[row * m_columns + column];
  switch (c.kind) {
    case NativeKind::Integer: return NativeValueView::Integer(static_cast<int64_t>(c.bits));
    case NativeKind::Real: {
      double v;
      std::memcpy(&v, &c.bits, sizeof v);
      return NativeValueView::Real(v);
    }
    case NativeKind::Text: return NativeValueView::Text({m_bytes.data() + c.bits, c.size});
    case NativeKind::Blob: return NativeValueView::Blob(m_bytes.data() + c.bits, c.size);
    default: return NativeValueView::Null();
  }
}
