#include "SchemaRows.h"

SchemaRows& SchemaRows::Add() {
  m_rows.emplace_back(m_layout.columns.size());
  return *this;
}

SchemaRows& SchemaRows::Set(std::u16string_view column, NativeValue value) {
  if (m_rows.empty()) return *this;
  for (size_t i = 0; i < m_layout.columns.size(); ++i) {
    if (m_layout.columns[i].name == column) {
      m_rows.back()[i] = std::move(value);
      break;
    }
  }
  return *this;
}

HRESULT SchemaRows::CreateRowset(IUnknown* creator, REFCLSID provider, std::u16string errorSource,
                                 REFIID riid, IUnknown** ppRowset) {
  return CreateMemoryRowset(m_layout.columns, std::move(m_rows), creator, provider, std::move(errorSource),
                            riid, ppRowset);
}
