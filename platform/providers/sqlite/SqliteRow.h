// One fetched row: its values copied out of the statement into one byte
// buffer that is kept between uses, so a scan allocates nothing per cell.
// A row packs into a few bytes for rowsets that keep their rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NativeValue.h"
#include "oledb.h"

struct sqlite3_stmt;

class CSqliteRow {
 public:
  // Copies columns [first, first + count) of the statement's current row.
  void Capture(sqlite3_stmt* stmt, int first, int count);
  NativeValueView Value(size_t index) const;
  NativeValue Copy(size_t index) const { return NativeValue::From(Value(index)); }
  // Takes the values and row id of another row, leaving counts and marks.
  void TakeValues(CSqliteRow& other);

  // The packed form: per cell a kind byte, then 8 bytes of a number or a
  // length and the bytes of text and blobs.
  size_t PackedSize() const;
  void Pack(char* out) const;
  // Reads `count` cells written by Pack.
  void Unpack(const char* in, size_t count);

  static constexpr size_t kNoPosition = ~size_t{0};
  int64_t rowid = 0;
  ULONG refCount = 0;
  bool deleted = false;
  DBBKMARK bookmark = 0;
  // Where the rowset keeps it: its result position, or its index among the
  // rows this rowset inserted.
  size_t position = kNoPosition;
  bool inserted = false;

 private:
  struct Cell {
    NativeKind kind = NativeKind::Null;
    int64_t integer = 0;
    double real = 0;
    size_t offset = 0;
    size_t size = 0;
  };
  void Append(Cell& cell, const void* data, size_t size);
  std::vector<Cell> m_cells;
  std::string m_bytes;
};
