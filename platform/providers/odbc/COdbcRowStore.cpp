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
  // At most three bytes for each UTF-16 unit; written in place, then trimmed.
  m_bytes.resize(start + text.size() * 3);
  char* out = m_bytes.data() + start;
  const char16_t* in = text.data();
  const char16_t* end = in + text.size();
  while (in != end) {
    char32_t cp = *in++;
    if (cp < 0x80) {
      *out++ = static_cast<char>(cp);
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && in != end && *in >= 0xDC00 && *in <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (*in++ - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      *out++ = static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
      *out++ = static_cast<char>(0xE0 | (cp >> 12));
      *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
      *out++ = static_cast<char>(0xF0 | (cp >> 18));
      *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  m_bytes.resize(static_cast<size_t>(out - m_bytes.data()));
  m_cells.push_back({start, static_cast<uint32_t>(m_bytes.size() - start), NativeKind::Text});
}

void COdbcRowStore::AddView(const NativeValueView& value) {
  switch (value.kind) {
    case NativeKind::Integer: return AddInteger(value.integer);
    case NativeKind::Real: return AddReal(value.real);
    case NativeKind::Text:
    case NativeKind::Blob: return AddBytes(value.kind, value.data, value.size);
    case NativeKind::Null: break;
  }
  AddNull();
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
