#include "COdbcRowStore.h"

#include <algorithm>
#include <cstring>

void COdbcRowStore::Push(uint64_t bits, size_t size, NativeKind kind) {
  const size_t block = m_count / kCellBlock;
  if (block == m_cells.size()) {
    m_cells.emplace_back();
    if (block > 0) m_cells.back().reserve(kCellBlock);
  }
  m_cells[block].push_back({static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32),
                            static_cast<uint32_t>(size << 3) | static_cast<uint32_t>(kind)});
  ++m_count;
}

uint64_t COdbcRowStore::Reserve(size_t size) {
  if (m_bytes.empty()) m_bytes.emplace_back();
  if (m_bytes[m_byteBlock].size() + size > kByteBlock && !m_bytes[m_byteBlock].empty()) {
    ++m_byteBlock;
    if (m_byteBlock == m_bytes.size()) m_bytes.emplace_back();
    m_bytes[m_byteBlock].clear();
    m_bytes[m_byteBlock].reserve(std::max(size, kByteBlock));
  }
  const uint64_t at = (static_cast<uint64_t>(m_byteBlock) << 32) | m_bytes[m_byteBlock].size();
  m_bytes[m_byteBlock].resize(m_bytes[m_byteBlock].size() + size);
  return at;
}

void COdbcRowStore::AddReal(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  Push(bits, 0, NativeKind::Real);
}

void COdbcRowStore::AddBytes(NativeKind kind, const void* data, size_t size) {
  const uint64_t at = Reserve(size);
  if (size) std::memcpy(m_bytes[at >> 32].data() + (at & 0xFFFFFFFF), data, size);
  Push(at, size, kind);
}

void COdbcRowStore::AddText(std::u16string_view text) {
  // At most three bytes for each UTF-16 unit; written in place, then trimmed.
  const uint64_t at = Reserve(text.size() * 3);
  std::string& block = m_bytes[at >> 32];
  const size_t start = at & 0xFFFFFFFF;
  char* out = block.data() + start;
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
  const size_t size = static_cast<size_t>(out - (block.data() + start));
  block.resize(start + size);
  Push(at, size, NativeKind::Text);
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
  const Cell& c = At(row * m_columns + column);
  const uint64_t bits = c.low | (static_cast<uint64_t>(c.high) << 32);
  const size_t size = c.sizeAndKind >> 3;
  switch (static_cast<NativeKind>(c.sizeAndKind & 7)) {
    case NativeKind::Integer: return NativeValueView::Integer(static_cast<int64_t>(bits));
    case NativeKind::Real: {
      double v;
      std::memcpy(&v, &bits, sizeof v);
      return NativeValueView::Real(v);
    }
    case NativeKind::Text: return NativeValueView::Text({m_bytes[c.high].data() + c.low, size});
    case NativeKind::Blob: return NativeValueView::Blob(m_bytes[c.high].data() + c.low, size);
    default: return NativeValueView::Null();
  }
}

void COdbcRowStore::Truncate(size_t rows) {
  m_count = std::min(m_count, rows * m_columns);
  for (size_t b = 0; b < m_cells.size(); ++b)
    m_cells[b].resize(std::min(kCellBlock, m_count > b * kCellBlock ? m_count - b * kCellBlock : 0));
}

void COdbcRowStore::Clear() {
  m_count = 0;
  for (auto& block : m_cells) block.clear();
  for (auto& block : m_bytes) block.clear();
  m_byteBlock = 0;
}
