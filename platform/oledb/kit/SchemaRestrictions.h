// The restriction values a client passed to IDBSchemaRowset::GetRowset,
// checked against what the provider supports for that schema.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "SchemaLayouts.h"

class SchemaRestrictions {
 public:
  static constexpr size_t kMax = 8;

  // Reads `count` values: too many, an unsupported one or a value of the
  // wrong type posts an error record from `provider`/`source` and fails.
  // Restriction i is numeric when bit i of numericMask is set.
  HRESULT Read(const SchemaLayout& layout, ULONG supportedMask, ULONG numericMask, ULONG count,
               const VARIANT values[], REFCLSID provider, std::u16string_view source);

  // UTF-8 text of restriction i, when given.
  const std::optional<std::string>& Text(size_t i) const { return m_text[i]; }
  const std::optional<int64_t>& Number(size_t i) const { return m_number[i]; }
  // True when restriction i is not given or equals value exactly.
  bool Matches(size_t i, std::string_view value) const { return !m_text[i] || *m_text[i] == value; }
  bool MatchesNumber(size_t i, int64_t value) const { return !m_number[i] || *m_number[i] == value; }

 private:
  std::array<std::optional<std::string>, kMax> m_text;
  std::array<std::optional<int64_t>, kMax> m_number;
};
