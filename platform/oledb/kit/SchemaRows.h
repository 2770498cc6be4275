// Rows of a schema rowset built by column name, so a provider fills only
// the columns it knows and every other cell stays null.
#pragma once

#include <string_view>
#include <vector>

#include "MemoryRowset.h"
#include "SchemaLayouts.h"

class SchemaRows {
 public:
  explicit SchemaRows(const SchemaLayout& layout) : m_layout(layout) {}

  // Starts a row of nulls; Set fills the row started last.
  SchemaRows& Add();
  // A name the layout lacks is a programming fault and is ignored.
  SchemaRows& Set(std::u16string_view column, NativeValue value);
  SchemaRows& Text(std::u16string_view column, std::string text) {
    return Set(column, NativeValue::Text(std::move(text)));
  }
  SchemaRows& Integer(std::u16string_view column, int64_t value) {
    return Set(column, NativeValue::Integer(value));
  }
  SchemaRows& Bool(std::u16string_view column, bool value) { return Integer(column, value ? 1 : 0); }

  const SchemaLayout& Layout() const { return m_layout; }
  std::vector<MemoryRow>& Rows() { return m_rows; }
  // Builds the in-memory rowset over the rows (which move into it).
  HRESULT CreateRowset(IUnknown* creator, REFCLSID provider, std::u16string errorSource, REFIID riid,
                       IUnknown** ppRowset);

 private:
  const SchemaLayout& m_layout;
  std::vector<MemoryRow> m_rows;
};
