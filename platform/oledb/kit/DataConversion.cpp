// Conversion of native values into a client's row buffer and back.
#include "DataConversion.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// ---------------------------------------------------------------------------
// Buffer access: offsets given by a client need not be aligned.

template <class T>
void Store(BYTE* pData, DBBYTEOFFSET offset, const T& value) {
  std::memcpy(pData + offset, &value, sizeof(T));
}

template <class T>
T Load(const BYTE* pData, DBBYTEOFFSET offset) {
  T value;
  std::memcpy(&value, pData + offset, sizeof(T));
  return value;
}

bool Binds(const DBBINDING& b, DBPART part) { return (b.dwPart & part) != 0; }

DBSTATUS Finish(const DBBINDING& b, BYTE* pData, DBSTATUS status, DBLENGTH length) {
  if (Binds(b, DBPART_LENGTH)) Store<DBLENGTH>(pData, b.obLength, length);
  if (Binds(b, DBPART_STATUS)) Store<DBSTATUS>(pData, b.obStatus, status);
  return status;
}

// ---------------------------------------------------------------------------
// Native value to text and numbers.

std::string ShortestReal(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, res.ptr);
}

std::string HexDigits(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    text.push_back(kDigits[c >> 4]);
    text.push_back(kDigits[c & 0xF]);
  }
  return text;
}

std::string AsText(const NativeValueView& v) {
  switch (v.kind) {
    case NativeKind::Integer: return std::to_string(v.integer);
    case NativeKind::Real: return ShortestReal(v.real);
    case NativeKind::Text: return std::string(v.Bytes());
    case NativeKind::Blob: return HexDigits(v.Bytes());
    case NativeKind::Null: break;
  }
  return {};
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A number read from text: an integer when the text is one, else a real.
struct ParsedNumber {
  bool isInteger = false;
  int64_t integer = 0;
  double real = 0;
};

// Nothing when the text is not wholly a number; overflow is a real of
// infinite size so the range checks report it.
std::optional<ParsedNumber> ParseNumber(std::string_view raw) {
  std::string_view s = Trim(raw);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  const char* first = s.data();
  const char* last = first + s.size();
  ParsedNumber n;
  auto ri = std::from_chars(first, last, n.integer);
  if (ri.ec == std::errc() && ri.ptr == last) {
    n.isInteger = true;
    return n;
  }
  auto rd = std::from_chars(first, last, n.real);
  if (rd.ptr != last) return std::nullopt;
  if (rd.ec == std::errc::result_out_of_range) {
    n.real = (*first == '-') ? -HUGE_VAL : HUGE_VAL;
    return n;
  }
  if (rd.ec != std::errc()) return std::nullopt;
  return n;
}

std::optional<bool> ParseBool(std::string_view raw) {
  std::string_view s = Trim(raw);
  std::string lower;
  for (char c : s) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
  if (lower == "true") return true;
  if (lower == "false") return false;
  if (auto n = ParseNumber(s)) return n->isInteger ? n->integer != 0 : n->real != 0;
  return std::nullopt;
}

// A value reduced to a number: integer or real, or a status explaining why not.
struct NumberOrStatus {
  DBSTATUS status = DBSTATUS_S_OK;
  ParsedNumber number;
};

NumberOrStatus AsNumber(const NativeValueView& v) {
  NumberOrStatus r;
  switch (v.kind) {
    case NativeKind::Integer:
      r.number.isInteger = true;
      r.number.integer = v.integer;
      return r;
    case NativeKind::Real: r.number.real = v.real; return r;
    case NativeKind::Text:
      if (auto n = ParseNumber(v.Bytes())) r.number = *n;
      else r.status = DBSTATUS_E_CANTCONVERTVALUE;
      return r;
    default: r.status = DBSTATUS_E_CANTCONVERTVALUE; return r;
  }
}

// Integer targets: range checked; a real loses its fraction with a
// truncation warning.
template <class T>
DBSTATUS ToInteger(const ParsedNumber& n, T& out) {
  constexpr bool isUnsigned = !std::numeric_limits<T>::is_signed;
  if (n.isInteger) {
    if (isUnsigned && n.integer < 0) return DBSTATUS_E_SIGNMISMATCH;
    if constexpr (isUnsigned) {
      if (static_cast<uint64_t>(n.integer) > std::numeric_limits<T>::max())
        return DBSTATUS_E_DATAOVERFLOW;
    } else {
      if (n.integer < std::numeric_limits<T>::min() || n.integer > std::numeric_limits<T>::max())
        return DBSTATUS_E_DATAOVERFLOW;
    }
    out = static_cast<T>(n.integer);
    return DBSTATUS_S_OK;
  }
  if (std::isnan(n.real)) return DBSTATUS_E_CANTCONVERTVALUE;
  double whole = std::trunc(n.real);
  if (isUnsigned && whole < 0) return DBSTATUS_E_SIGNMISMATCH;
  // Compare against 2^bits bounds computed in double: exact for all widths.
  double lo = static_cast<double>(std::numeric_limits<T>::min());
  double hiExclusive = std::ldexp(1.0, std::numeric_limits<T>::digits);
  if (whole < lo || whole >= hiExclusive) return DBSTATUS_E_DATAOVERFLOW;
  out = static_cast<T>(whole);
  return whole == n.real ? DBSTATUS_S_OK : DBSTATUS_S_TRUNCATED;
}

double ToDouble(const ParsedNumber& n) {
  return n.isInteger ? static_cast<double>(n.integer) : n.real;
}

// ---------------------------------------------------------------------------
// Variable-length targets: text and bytes.

// Largest prefix of UTF-8 text not longer than limit that ends on a
// character boundary.
size_t Utf8Cut(std::string_view s, size_t limit) {
  if (limit >= s.size()) return s.size();
  size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

size_t Utf16Cut(std::u16string_view s, size_t limit) {
  if (limit >= s.size()) return s.size();
  size_t cut = limit;
  if (cut > 0 && s[cut] >= 0xDC00 && s[cut] <= 0xDFFF) --cut;
  return cut;
}

// Copies a by-reference value into one task allocation and stores its address.
DBSTATUS StoreByRef(const DBBINDING& b, BYTE* pData, const void* bytes, size_t size,
                    size_t terminatorSize) {
  size_t total = size + terminatorSize;
  void* block = CoTaskMemAlloc(total ? total : 1);
  if (!block) return DBSTATUS_E_CANTCREATE;
  if (size) std::memcpy(block, bytes, size);
  std::memset(static_cast<BYTE*>(block) + size, 0, total - size);
  Store<void*>(pData, b.obValue, block);
  return DBSTATUS_S_OK;
}

DBSTATUS DeliverStr(std::string_view text, const DBBINDING& b, BYTE* pData, bool byRef) {
  DBSTATUS status = DBSTATUS_S_OK;
  if (Binds(b, DBPART_VALUE)) {
    if (byRef) {
      status = StoreByRef(b, pData, text.data(), text.size(), 1);
    } else if (b.cbMaxLen == 0) {
      status = DBSTATUS_S_TRUNCATED;
    } else {
      size_t cut = Utf8Cut(text, b.cbMaxLen - 1);
      std::memcpy(pData + b.obValue, text.data(), cut);
      pData[b.obValue + cut] = 0;
      if (cut < text.size()) status = DBSTATUS_S_TRUNCATED;
    }
  }
  return Finish(b, pData, status, static_cast<DBLENGTH>(text.size()));
}

DBSTATUS DeliverWstr(const std::u16string& text, const DBBINDING& b, BYTE* pData, bool byRef) {
  DBSTATUS status = DBSTATUS_S_OK;
  size_t bytes = text.size() * sizeof(char16_t);
  if (Binds(b, DBPART_VALUE)) {
    if (byRef) {
      status = StoreByRef(b, pData, text.data(), bytes, sizeof(char16_t));
    } else if (b.cbMaxLen < sizeof(char16_t)) {
      status = DBSTATUS_S_TRUNCATED;
    } else {
      size_t cut = Utf16Cut(text, b.cbMaxLen / sizeof(char16_t) - 1);
      std::memcpy(pData + b.obValue, text.data(), cut * sizeof(char16_t));
      Store<char16_t>(pData, b.obValue + cut * sizeof(char16_t), u'\0');
      if (cut < text.size()) status = DBSTATUS_S_TRUNCATED;
    }
  }
  return Finish(b, pData, status, static_cast<DBLENGTH>(bytes));
}

DBSTATUS DeliverBytes(std::string_view bytes, const DBBINDING& b, BYTE* pData, bool byRef) {
  DBSTATUS status = DBSTATUS_S_OK;
  if (Binds(b, DBPART_VALUE)) {
    if (byRef) {
      status = StoreByRef(b, pData, bytes.data(), bytes.size(), 0);
    } else {
      size_t n = bytes.size() < b.cbMaxLen ? bytes.size() : b.cbMaxLen;
      std::memcpy(pData + b.obValue, bytes.data(), n);
      if (n < bytes.size()) status = DBSTATUS_S_TRUNCATED;
    }
  }
  return Finish(b, pData, status, static_cast<DBLENGTH>(bytes.size()));
}

// Numbers as bytes: their in-memory form, as for any fixed-length type.
std::string BytesOf(const NativeValueView& v) {
  switch (v.kind) {
    case NativeKind::Integer:
      return std::string(reinterpret_cast<const char*>(&v.integer), sizeof v.integer);
    case NativeKind::Real: return std::string(reinterpret_cast<const char*>(&v.real), sizeof v.real);
    default: return std::string(v.Bytes());
  }
}

// ---------------------------------------------------------------------------
// Fixed-length targets.

template <class T>
DBSTATUS DeliverFixed(DBSTATUS status, const T& value, const DBBINDING& b, BYTE* pData) {
  if (status == DBSTATUS_S_OK || status == DBSTATUS_S_TRUNCATED) {
    if (Binds(b, DBPART_VALUE)) Store<T>(pData, b.obValue, value);
    return Finish(b, pData, status, sizeof(T));
  }
  return Finish(b, pData, status, 0);
}

template <class T>
DBSTATUS DeliverInteger(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  NumberOrStatus n = AsNumber(v);
  T value{};
  DBSTATUS status = n.status == DBSTATUS_S_OK ? ToInteger(n.number, value) : n.status;
  return DeliverFixed(status, value, b, pData);
}

DBSTATUS DeliverR8(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  NumberOrStatus n = AsNumber(v);
  double value = n.status == DBSTATUS_S_OK ? ToDouble(n.number) : 0;
  return DeliverFixed(n.status, value, b, pData);
}

DBSTATUS DeliverR4(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  NumberOrStatus n = AsNumber(v);
  double d = n.status == DBSTATUS_S_OK ? ToDouble(n.number) : 0;
  DBSTATUS status = n.status;
  if (status == DBSTATUS_S_OK && std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
    status = DBSTATUS_E_DATAOVERFLOW;
  return DeliverFixed(status, static_cast<float>(d), b, pData);
}

DBSTATUS DeliverBool(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  std::optional<bool> flag;
  if (v.kind == NativeKind::Integer) flag = v.integer != 0;
  else if (v.kind == NativeKind::Real) flag = v.real != 0;
  else if (v.kind == NativeKind::Text) flag = ParseBool(v.Bytes());
  VARIANT_BOOL value = flag && *flag ? VARIANT_TRUE : VARIANT_FALSE;
  return DeliverFixed(flag ? DBSTATUS_S_OK : DBSTATUS_E_CANTCONVERTVALUE, value, b, pData);
}

DBSTATUS DeliverGuid(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  GUID value{};
  DBSTATUS status = DBSTATUS_E_CANTCONVERTVALUE;
  if (v.kind == NativeKind::Blob && v.size == sizeof(GUID)) {
    std::memcpy(&value, v.data, sizeof(GUID));
    status = DBSTATUS_S_OK;
  } else if (v.kind == NativeKind::Text) {
    std::u16string text = AnsiToOle(Trim(v.Bytes()));
    if (SUCCEEDED(CLSIDFromString(text.c_str(), &value))) status = DBSTATUS_S_OK;
  }
  return DeliverFixed(status, value, b, pData);
}

DBSTATUS DeliverBstr(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  std::u16string text = AnsiToOle(AsText(v));
  BSTR value = nullptr;
  if (Binds(b, DBPART_VALUE)) {
    value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!value) return Finish(b, pData, DBSTATUS_E_CANTCREATE, 0);
    Store<BSTR>(pData, b.obValue, value);
  }
  return Finish(b, pData, DBSTATUS_S_OK, sizeof(BSTR));
}

DBSTATUS DeliverVariant(const NativeValueView& v, const DBBINDING& b, BYTE* pData) {
  VARIANT value;
  VariantInit(&value);
  switch (v.kind) {
    case NativeKind::Integer: value.vt = VT_I8; value.llVal = v.integer; break;
    case NativeKind::Real: value.vt = VT_R8; value.dblVal = v.real; break;
    case NativeKind::Text: {
      std::u16string text = AnsiToOle(v.Bytes());
      value.vt = VT_BSTR;
      value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (!value.bstrVal) return Finish(b, pData, DBSTATUS_E_CANTCREATE, 0);
      break;
    }
    default: return Finish(b, pData, DBSTATUS_E_CANTCONVERTVALUE, 0);
  }
  if (Binds(b, DBPART_VALUE)) Store<VARIANT>(pData, b.obValue, value);
  else VariantClear(&value);
  return Finish(b, pData, DBSTATUS_S_OK, sizeof(VARIANT));
}

DBSTATUS DeliverNull(const DBBINDING& b, BYTE* pData) {
  if (Binds(b, DBPART_VALUE)) {
    if (b.wType & DBTYPE_BYREF) Store<void*>(pData, b.obValue, nullptr);
    if (b.wType == DBTYPE_VARIANT) {
      VARIANT null;
      VariantInit(&null);
      null.vt = VT_NULL;
      Store<VARIANT>(pData, b.obValue, null);
    }
  }
  return Finish(b, pData, DBSTATUS_S_ISNULL, 0);
}

// ---------------------------------------------------------------------------
// Reading a client's value.

// Byte length of a variable-length value: the length part when bound, else
// up to the terminator within the buffer.
size_t TextLength(const DBBINDING& b, const BYTE* pData, const BYTE* value, size_t unit, bool byRef) {
  if (Binds(b, DBPART_LENGTH)) return Load<DBLENGTH>(pData, b.obLength);
  size_t limit = byRef ? std::numeric_limits<size_t>::max() : b.cbMaxLen;
  size_t n = 0;
  while (n + unit <= limit) {
    bool zero = unit == 1 ? value[n] == 0 : (value[n] == 0 && value[n + 1] == 0);
    if (zero) break;
    n += unit;
  }
  return n;
}

DBSTATUS ReadVariable(DBTYPE base, const DBBINDING& b, const BYTE* pData, bool byRef,
                      NativeValue& out) {
  const BYTE* value = byRef ? Load<const BYTE*>(pData, b.obValue) : pData + b.obValue;
  if (!value) return DBSTATUS_E_CANTCONVERTVALUE;
  if (base == DBTYPE_BYTES) {
    // Bytes have no terminator and cbMaxLen says nothing about a client's
    // block: by reference only the length part tells how much to read.
    if (byRef && !Binds(b, DBPART_LENGTH)) return DBSTATUS_E_CANTCONVERTVALUE;
    size_t n = Binds(b, DBPART_LENGTH) ? Load<DBLENGTH>(pData, b.obLength) : b.cbMaxLen;
    if (!byRef && n > b.cbMaxLen) return DBSTATUS_E_CANTCONVERTVALUE;
    out = NativeValue::Blob(std::string(reinterpret_cast<const char*>(value), n));
    return DBSTATUS_S_OK;
  }
  size_t unit = base == DBTYPE_WSTR ? sizeof(char16_t) : 1;
  size_t n = TextLength(b, pData, value, unit, byRef);
  if (!byRef && n > b.cbMaxLen) return DBSTATUS_E_CANTCONVERTVALUE;
  if (base == DBTYPE_STR) {
    out = NativeValue::Text(std::string(reinterpret_cast<const char*>(value), n));
  } else {
    std::u16string wide(n / unit, u'\0');
    std::memcpy(wide.data(), value, wide.size() * unit);
    out = NativeValue::Text(OleToAnsi(std::u16string_view(wide)));
  }
  return DBSTATUS_S_OK;
}

DBSTATUS ReadVariant(const VARIANT& v, NativeValue& out) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: out = NativeValue::Null(); return DBSTATUS_S_OK;
    case VT_BSTR: out = NativeValue::Text(v.bstrVal ? OleToAnsi(v.bstrVal) : std::string()); return DBSTATUS_S_OK;
    case VT_R4:
    case VT_R8: {
      VARIANT r8;
      VariantInit(&r8);
      if (FAILED(VariantChangeType(&r8, &v, 0, VT_R8))) return DBSTATUS_E_CANTCONVERTVALUE;
      out = NativeValue::Real(r8.dblVal);
      return DBSTATUS_S_OK;
    }
    case VT_BOOL: out = NativeValue::Integer(v.boolVal ? 1 : 0); return DBSTATUS_S_OK;
    default: break;
  }
  VARIANT i8;
  VariantInit(&i8);
  HRESULT hr = VariantChangeType(&i8, &v, 0, VT_I8);
  if (hr == DISP_E_OVERFLOW) return DBSTATUS_E_DATAOVERFLOW;
  if (FAILED(hr)) return DBSTATUS_E_CANTCONVERTVALUE;
  out = NativeValue::Integer(i8.llVal);
  return DBSTATUS_S_OK;
}

DBSTATUS ReadFixed(DBTYPE type, const BYTE* pData, DBBYTEOFFSET at, NativeValue& out) {
  switch (type) {
    case DBTYPE_I1: out = NativeValue::Integer(Load<int8_t>(pData, at)); break;
    case DBTYPE_I2: out = NativeValue::Integer(Load<int16_t>(pData, at)); break;
    case DBTYPE_I4: out = NativeValue::Integer(Load<int32_t>(pData, at)); break;
    case DBTYPE_I8: out = NativeValue::Integer(Load<int64_t>(pData, at)); break;
    case DBTYPE_UI1: out = NativeValue::Integer(Load<uint8_t>(pData, at)); break;
    case DBTYPE_UI2: out = NativeValue::Integer(Load<uint16_t>(pData, at)); break;
    case DBTYPE_UI4: out = NativeValue::Integer(Load<uint32_t>(pData, at)); break;
    case DBTYPE_UI8: {
      uint64_t u = Load<uint64_t>(pData, at);
      if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return DBSTATUS_E_DATAOVERFLOW;
      out = NativeValue::Integer(static_cast<int64_t>(u));
      break;
    }
    case DBTYPE_R4: out = NativeValue::Real(Load<float>(pData, at)); break;
    case DBTYPE_R8: out = NativeValue::Real(Load<double>(pData, at)); break;
    case DBTYPE_BOOL: out = NativeValue::Integer(Load<VARIANT_BOOL>(pData, at) ? 1 : 0); break;
    case DBTYPE_GUID: {
      GUID g = Load<GUID>(pData, at);
      out = NativeValue::Blob(std::string(reinterpret_cast<const char*>(&g), sizeof g));
      break;
    }
    case DBTYPE_BSTR: {
      BSTR s = Load<BSTR>(pData, at);
      out = NativeValue::Text(s ? OleToAnsi(std::u16string_view(s, SysStringLen(s))) : std::string());
      break;
    }
    case DBTYPE_VARIANT: return ReadVariant(Load<VARIANT>(pData, at), out);
    default: return DBSTATUS_E_CANTCONVERTVALUE;
  }
  return DBSTATUS_S_OK;
}

}  // namespace

bool IsConvertibleBindingType(DBTYPE wType) {
  DBTYPE base = wType & ~DBTYPE_BYREF;
  if (wType & DBTYPE_BYREF)
    return base == DBTYPE_STR || base == DBTYPE_WSTR || base == DBTYPE_BYTES;
  switch (base) {
    case DBTYPE_STR:
    case DBTYPE_WSTR:
    case DBTYPE_BYTES:
    case DBTYPE_BSTR:
    case DBTYPE_VARIANT:
    case DBTYPE_I1:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_I8:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_UI8:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_BOOL:
    case DBTYPE_GUID: return true;
    default: return false;
  }
}

DBSTATUS ConvertToBinding(const NativeValueView& value, const DBBINDING& binding, BYTE* pData) {
  if (!IsConvertibleBindingType(binding.wType)) return Finish(binding, pData, DBSTATUS_E_BADACCESSOR, 0);
  if (value.kind == NativeKind::Null) return DeliverNull(binding, pData);
  bool byRef = (binding.wType & DBTYPE_BYREF) != 0;
  switch (binding.wType & ~DBTYPE_BYREF) {
    // Text and bytes go straight from the provider's buffer: a scan copies
    // each cell once, into the client's memory.
    case DBTYPE_STR:
      if (value.kind == NativeKind::Text) return DeliverStr(value.Bytes(), binding, pData, byRef);
      return DeliverStr(AsText(value), binding, pData, byRef);
    case DBTYPE_WSTR: return DeliverWstr(AnsiToOle(AsText(value)), binding, pData, byRef);
    case DBTYPE_BYTES:
      if (value.kind == NativeKind::Text || value.kind == NativeKind::Blob)
        return DeliverBytes(value.Bytes(), binding, pData, byRef);
      return DeliverBytes(BytesOf(value), binding, pData, byRef);
    case DBTYPE_BSTR: return DeliverBstr(value, binding, pData);
    case DBTYPE_VARIANT: return DeliverVariant(value, binding, pData);
    case DBTYPE_I1: return DeliverInteger<int8_t>(value, binding, pData);
    case DBTYPE_I2: return DeliverInteger<int16_t>(value, binding, pData);
    case DBTYPE_I4: return DeliverInteger<int32_t>(value, binding, pData);
    case DBTYPE_I8: return DeliverInteger<int64_t>(value, binding, pData);
    case DBTYPE_UI1: return DeliverInteger<uint8_t>(value, binding, pData);
    case DBTYPE_UI2: return DeliverInteger<uint16_t>(value, binding, pData);
    case DBTYPE_UI4: return DeliverInteger<uint32_t>(value, binding, pData);
    case DBTYPE_UI8: return DeliverInteger<uint64_t>(value, binding, pData);
    case DBTYPE_R4: return DeliverR4(value, binding, pData);
    case DBTYPE_R8: return DeliverR8(value, binding, pData);
    case DBTYPE_BOOL: return DeliverBool(value, binding, pData);
    case DBTYPE_GUID: return DeliverGuid(value, binding, pData);
    default: return Finish(binding, pData, DBSTATUS_E_BADACCESSOR, 0);
  }
}

DBSTATUS ConvertFromBinding(const DBBINDING& binding, const BYTE* pData, NativeValue& out) {
  if (!IsConvertibleBindingType(binding.wType)) return DBSTATUS_E_BADACCESSOR;
  if (Binds(binding, DBPART_STATUS)) {
    DBSTATUS given = Load<DBSTATUS>(pData, binding.obStatus);
    if (given == DBSTATUS_S_ISNULL) {
      out = NativeValue::Null();
      return DBSTATUS_S_OK;
    }
    // Defaults and ignored columns are the caller's to handle.
    if (given == DBSTATUS_S_DEFAULT || given == DBSTATUS_S_IGNORE) return given;
    if (given != DBSTATUS_S_OK) return DBSTATUS_E_BADSTATUS;
  }
  if (!Binds(binding, DBPART_VALUE)) return DBSTATUS_E_UNAVAILABLE;
  DBTYPE base = binding.wType & ~DBTYPE_BYREF;
  bool byRef = (binding.wType & DBTYPE_BYREF) != 0;
  if (base == DBTYPE_STR || base == DBTYPE_WSTR || base == DBTYPE_BYTES)
    return ReadVariable(base, binding, pData, byRef, out);
  return ReadFixed(base, pData, binding.obValue, out);
}
