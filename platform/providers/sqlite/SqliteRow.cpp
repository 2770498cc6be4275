#include "SqliteRow.h"

#include <sqlite3.h>

#include <cstring>

void CSqliteRow::Append(Cell& cell, const void* data, size_t size) {
  cell.offset = m_bytes.size();
  cell.size = size;
  if (size) m_bytes.append(static_cast<const char*>(data), size);
}

void CSqliteRow::Capture(sqlite3_stmt* stmt, int first, int count) {
  m_cells.resize(static_cast<size_t>(count));
  m_bytes.clear();
  for (int i = 0; i < count; ++i) {
    Cell& cell = m_cells[static_cast<size_t>(i)];
    int column = first + i;
    switch (sqlite3_column_type(stmt, column)) {
      case SQLITE_INTEGER:
        cell.kind = NativeKind::Integer;
        cell.integer = sqlite3_column_int64(stmt, column);
        break;
      case SQLITE_FLOAT:
        cell.kind = NativeKind::Real;
        cell.real = sqlite3_column_double(stmt, column);
        break;
      case SQLITE_TEXT: {
        cell.kind = NativeKind::Text;
        const unsigned char* p = sqlite3_column_text(stmt, column);
        Append(cell, p, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
        break;
      }
      case SQLITE_BLOB: {
        cell.kind = NativeKind::Blob;
        const void* p = sqlite3_column_blob(stmt, column);
        Append(cell, p, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
        break;
      }
      default:
        cell.kind = NativeKind::Null;
        break;
    }
  }
}

NativeValueView CSqliteRow::Value(size_t index) const {
  if (index >= m_cells.size()) return NativeValueView::Null();
  const Cell& c = m_cells[index];
  switch (c.kind) {
    case NativeKind::Integer: return NativeValueView::Integer(c.integer);
    case NativeKind::Real: return NativeValueView::Real(c.real);
    case NativeKind::Text: return NativeValueView::Text({m_bytes.data() + c.offset, c.size});
    case NativeKind::Blob: return NativeValueView::Blob(m_bytes.data() + c.offset, c.size);
    default: return NativeValueView::Null();
  }
}

void CSqliteRow::TakeValues(CSqliteRow& other) {
  m_cells.swap(other.m_cells);
  m_bytes.swap(other.m_bytes);
  rowid = other.rowid;
}

size_t CSqliteRow::PackedSize() const {
  size_t size = 0;
  for (const Cell& c : m_cells) {
    size += 1;
    if (c.kind == NativeKind::Integer || c.kind == NativeKind::Real) size += 8;
    if (c.kind == NativeKind::Text || c.kind == NativeKind::Blob) size += sizeof(uint32_t) + c.size;
  }
  return size;
}

void CSqliteRow::Pack(char* out) const {
  for (const Cell& c : m_cells) {
    *out++ = static_cast<char>(c.kind);
    switch (c.kind) {
      case NativeKind::Integer: std::memcpy(out, &c.integer, 8); out += 8; break;
      case NativeKind::Real: std::memcpy(out, &c.real, 8); out += 8; break;
      case NativeKind::Text:
      case NativeKind::Blob: {
        auto size = static_cast<uint32_t>(c.size);
        std::memcpy(out, &size, sizeof size);
        out += sizeof size;
        if (c.size) std::memcpy(out, m_bytes.data() + c.offset, c.size);
        out += c.size;
        break;
      }
      default: break;
    }
  }
}

void CSqliteRow::Unpack(const char* in, size_t count) {
  m_cells.resize(count);
  m_bytes.clear();
  for (Cell& c : m_cells) {
    c.kind = static_cast<NativeKind>(*in++);
    switch (c.kind) {
      case NativeKind::Integer: std::memcpy(&c.integer, in, 8); in += 8; break;
      case NativeKind::Real: std::memcpy(&c.real, in, 8); in += 8; break;
      case NativeKind::Text:
      case NativeKind::Blob: {
        uint32_t size = 0;
        std::memcpy(&size, in, sizeof size);
        in += sizeof size;
        Append(c, in, size);
        in += size;
        break;
      }
      default: break;
    }
  }
}
