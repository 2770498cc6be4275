// A value as a database gives it: null, 64-bit integer, double, UTF-8 text
// or bytes. Providers hand views to the kit so a scan copies nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class NativeKind : uint8_t { Null, Integer, Real, Text, Blob };

struct NativeValueView {
  NativeKind kind = NativeKind::Null;
  int64_t integer = 0;
  double real = 0;
  const void* data = nullptr;  // Text (UTF-8, no terminator needed) or Blob
  size_t size = 0;             // bytes

  static NativeValueView Null() { return {}; }
  static NativeValueView Integer(int64_t v) { return {NativeKind::Integer, v, 0, nullptr, 0}; }
  static NativeValueView Real(double v) { return {NativeKind::Real, 0, v, nullptr, 0}; }
  static NativeValueView Text(std::string_view s) { return {NativeKind::Text, 0, 0, s.data(), s.size()}; }
  static NativeValueView Blob(const void* p, size_t n) { return {NativeKind::Blob, 0, 0, p, n}; }
  std::string_view Bytes() const { return {static_cast<const char*>(data), size}; }
};

// Owning counterpart, for rows kept in memory and values a client writes.
class NativeValue {
 public:
  NativeValue() = default;
  static NativeValue Null() { return {}; }
  static NativeValue Integer(int64_t v) { NativeValue n; n.m_kind = NativeKind::Integer; n.m_integer = v; return n; }
  static NativeValue Real(double v) { NativeValue n; n.m_kind = NativeKind::Real; n.m_real = v; return n; }
  static NativeValue Text(std::string s) { NativeValue n; n.m_kind = NativeKind::Text; n.m_bytes = std::move(s); return n; }
  static NativeValue Blob(std::string bytes) { NativeValue n; n.m_kind = NativeKind::Blob; n.m_bytes = std::move(bytes); return n; }
  static NativeValue From(const NativeValueView& v) {
    NativeValue n;
    n.m_kind = v.kind;
    n.m_integer = v.integer;
    n.m_real = v.real;
    if (v.kind == NativeKind::Text || v.kind == NativeKind::Blob) n.m_bytes.assign(v.Bytes());
    return n;
  }

  NativeKind Kind() const { return m_kind; }
  bool IsNull() const { return m_kind == NativeKind::Null; }
  int64_t Integer() const { return m_integer; }
  double Real() const { return m_real; }
  const std::string& Bytes() const { return m_bytes; }
  NativeValueView View() const { return {m_kind, m_integer, m_real, m_bytes.data(), m_bytes.size()}; }

 private:
  NativeKind m_kind = NativeKind::Null;
  int64_t m_integer = 0;
  double m_real = 0;
  std::string m_bytes;
};
