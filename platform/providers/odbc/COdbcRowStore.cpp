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

void COdbcRowStore::AddText(std::u16string_view text) {
  const size_t start = m_bytes.size();
  auto put = [this](char32_t cp) {
    if (cp < 0x80) {
      m_bytes.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      m_bytes.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      m_bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      m_bytes.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      m_bytes.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      m_bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      m_bytes.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      m_bytes.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      m_bytes.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      m_bytes.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      put(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      put(0xFFFD);
    } else {
      put(c);
    }
  }
  m_cells.push_back({start, static_cast<uint32_t>(m_bytes.size() - start), NativeKind::Text});
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
