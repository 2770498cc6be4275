// VARIANT services with the Automation conversion rules.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <variant>

#include "oleauto.h"

void VariantInit(VARIANTARG* pvarg) {
  if (!pvarg) return;
  std::memset(pvarg, 0, sizeof *pvarg);
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  if (!(pvarg->vt & VT_BYREF)) {
    switch (pvarg->vt) {
      case VT_BSTR:
        SysFreeString(pvarg->bstrVal);
        break;
      case VT_UNKNOWN:
      case VT_DISPATCH:
        if (pvarg->punkVal) pvarg->punkVal->Release();
        break;
      default:
        break;
    }
  }
  VariantInit(pvarg);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  VARIANT copy = *pvargSrc;
  if (!(copy.vt & VT_BYREF)) {
    if (copy.vt == VT_BSTR && copy.bstrVal) {
      copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((copy.vt == VT_UNKNOWN || copy.vt == VT_DISPATCH) && copy.punkVal) {
      copy.punkVal->AddRef();
    }
  }
  VariantClear(pvargDest);
  *pvargDest = copy;
  return S_OK;
}

namespace {

struct Empty {};
struct Null {};
// A source value reduced to what conversion needs.
using Value = std::variant<Empty, Null, int64_t, uint64_t, double, bool, std::string>;

HRESULT Decode(const VARIANT& v, Value& out) {
  switch (v.vt) {
    case VT_EMPTY: out = Empty{}; return S_OK;
    case VT_NULL: out = Null{}; return S_OK;
    case VT_I1: out = int64_t{v.cVal}; return S_OK;
    case VT_I2: out = int64_t{v.iVal}; return S_OK;
    case VT_I4: out = int64_t{v.lVal}; return S_OK;
    case VT_INT: out = int64_t{v.intVal}; return S_OK;
    case VT_I8: out = int64_t{v.llVal}; return S_OK;
    case VT_UI1: out = uint64_t{v.bVal}; return S_OK;
    case VT_UI2: out = uint64_t{v.uiVal}; return S_OK;
    case VT_UI4: out = uint64_t{v.ulVal}; return S_OK;
    case VT_UINT: out = uint64_t{v.uintVal}; return S_OK;
    case VT_UI8: out = uint64_t{v.ullVal}; return S_OK;
    case VT_R4: out = double{v.fltVal}; return S_OK;
    case VT_R8: out = v.dblVal; return S_OK;
    case VT_CY: out = static_cast<double>(v.cyVal.int64) / 10000.0; return S_OK;
    case VT_BOOL: out = v.boolVal != VARIANT_FALSE; return S_OK;
    case VT_BSTR: out = v.bstrVal ? OleToAnsi(v.bstrVal) : std::string(); return S_OK;
    case VT_ERROR: out = int64_t{v.scode}; return S_OK;
    default: return DISP_E_TYPEMISMATCH;
  }
}

std::string ShortestDouble(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, res.ptr);
}

HRESULT ToText(const Value& value, std::string& text) {
  if (std::holds_alternative<Null>(value)) return DISP_E_TYPEMISMATCH;
  if (std::holds_alternative<Empty>(value)) text.clear();
  else if (auto* i = std::get_if<int64_t>(&value)) text = std::to_string(*i);
  else if (auto* u = std::get_if<uint64_t>(&value)) text = std::to_string(*u);
  else if (auto* d = std::get_if<double>(&value)) text = ShortestDouble(*d);
  else if (auto* b = std::get_if<bool>(&value)) text = *b ? "-1" : "0";
  else text = std::get<std::string>(value);
  return S_OK;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Text to a number: whole-string integers or reals in the C locale.
HRESULT ParseNumber(const std::string& raw, Value& out) {
  std::string s = Trimmed(raw);
  if (s.empty()) return DISP_E_TYPEMISMATCH;
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (*first == '+') ++first;
  int64_t i = 0;
  auto ri = std::from_chars(first, last, i);
  if (ri.ec == std::errc() && ri.ptr == last) {
    out = i;
    return S_OK;
  }
  if (ri.ec == std::errc::result_out_of_range && *first != '-') {
    uint64_t u = 0;
    auto ru = std::from_chars(first, last, u);
    if (ru.ec == std::errc() && ru.ptr == last) {
      out = u;
      return S_OK;
    }
  }
  double d = 0;
  auto rd = std::from_chars(first, last, d);
  if (rd.ec == std::errc() && rd.ptr == last) {
    out = d;
    return S_OK;
  }
  if (rd.ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
  return DISP_E_TYPEMISMATCH;
}

// Digits alone that no 64-bit integer holds: parsed as a real they would
// round to a value in range (-2^63 - 1 becomes -2^63), so they overflow here.
bool IsWholeNumberBeyond64Bits(const std::string& raw) {
  std::string s = Trimmed(raw);
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (first != last && *first == '+') ++first;
  int64_t i = 0;
  auto ri = std::from_chars(first, last, i);
  if (ri.ec != std::errc::result_out_of_range || ri.ptr != last) return false;
  uint64_t u = 0;
  auto ru = std::from_chars(first, last, u);
  return !(ru.ec == std::errc() && ru.ptr == last);
}

HRESULT ToBool(const Value& value, bool& b) {
  if (std::holds_alternative<Null>(value)) return DISP_E_TYPEMISMATCH;
  if (std::holds_alternative<Empty>(value)) b = false;
  else if (auto* x = std::get_if<bool>(&value)) b = *x;
  else if (auto* i = std::get_if<int64_t>(&value)) b = *i != 0;
  else if (auto* u = std::get_if<uint64_t>(&value)) b = *u != 0;
  else if (auto* d = std::get_if<double>(&value)) b = *d != 0.0;
  else {
    std::string s = Trimmed(std::get<std::string>(value));
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (s == "true" || s == "#true#") { b = true; return S_OK; }
    if (s == "false" || s == "#false#") { b = false; return S_OK; }
    Value number;
    HRESULT hr = ParseNumber(s, number);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    return ToBool(number, b);
  }
  return S_OK;
}

HRESULT ToDouble(const Value& value, double& d) {
  if (std::holds_alternative<Null>(value)) return DISP_E_TYPEMISMATCH;
  if (std::holds_alternative<Empty>(value)) d = 0;
  else if (auto* b = std::get_if<bool>(&value)) d = *b ? -1 : 0;
  else if (auto* i = std::get_if<int64_t>(&value)) d = static_cast<double>(*i);
  else if (auto* u = std::get_if<uint64_t>(&value)) d = static_cast<double>(*u);
  else if (auto* x = std::get_if<double>(&value)) d = *x;
  else {
    Value number;
    HRESULT hr = ParseNumber(std::get<std::string>(value), number);
    if (FAILED(hr)) return hr;
    return ToDouble(number, d);
  }
  return S_OK;
}

// Integers round half to even from reals, as Automation does; out of range
// is an overflow, never a wrapped value.
template <class T>
HRESULT ToInteger(const Value& value, T& out) {
  using Limits = std::numeric_limits<T>;
  if (auto* i = std::get_if<int64_t>(&value)) {
    if constexpr (Limits::is_signed) {
      if (*i < static_cast<int64_t>(Limits::min()) || *i > static_cast<int64_t>(Limits::max()))
        return DISP_E_OVERFLOW;
    } else {
      if (*i < 0 || static_cast<uint64_t>(*i) > static_cast<uint64_t>(Limits::max()))
        return DISP_E_OVERFLOW;
    }
    out = static_cast<T>(*i);
    return S_OK;
  }
  if (auto* u = std::get_if<uint64_t>(&value)) {
    if (*u > static_cast<uint64_t>(Limits::max())) return DISP_E_OVERFLOW;
    out = static_cast<T>(*u);
    return S_OK;
  }
  if (auto* s = std::get_if<std::string>(&value)) {
    if (IsWholeNumberBeyond64Bits(*s)) return DISP_E_OVERFLOW;
    Value number;
    HRESULT hr = ParseNumber(*s, number);
    if (FAILED(hr)) return hr;
    return ToInteger(number, out);
  }
  double d = 0;
  HRESULT hr = ToDouble(value, d);
  if (FAILED(hr)) return hr;
  d = std::nearbyint(d);
  // The limits are powers of two, exact as doubles; the type's maximum is
  // not (it rounds up to the first value out of range).
  const double upper = std::ldexp(1.0, Limits::digits);
  const double lower = Limits::is_signed ? -upper : 0.0;
  if (!(d >= lower && d < upper)) return DISP_E_OVERFLOW;
  out = static_cast<T>(d);
  return S_OK;
}

HRESULT Encode(const Value& value, VARTYPE vt, VARIANT& out) {
  VariantInit(&out);
  HRESULT hr = S_OK;
  switch (vt) {
    case VT_EMPTY:
      return S_OK;
    case VT_NULL:
      if (!std::holds_alternative<Null>(value)) return DISP_E_TYPEMISMATCH;
      break;
    case VT_BSTR: {
      std::string text;
      hr = ToText(value, text);
      if (FAILED(hr)) return hr;
      std::u16string wide = AnsiToOle(text);
      out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      if (!out.bstrVal) return E_OUTOFMEMORY;
      break;
    }
    case VT_BOOL: {
      bool b = false;
      hr = ToBool(value, b);
      out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_R8: hr = ToDouble(value, out.dblVal); break;
    case VT_R4: {
      double d = 0;
      hr = ToDouble(value, d);
      if (SUCCEEDED(hr) && std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        hr = DISP_E_OVERFLOW;
      out.fltVal = static_cast<float>(d);
      break;
    }
    case VT_I1: hr = ToInteger(value, out.cVal); break;
    case VT_I2: hr = ToInteger(value, out.iVal); break;
    case VT_I4: hr = ToInteger(value, out.lVal); break;
    case VT_INT: hr = ToInteger(value, out.intVal); break;
    case VT_I8: hr = ToInteger(value, out.llVal); break;
    case VT_UI1: hr = ToInteger(value, out.bVal); break;
    case VT_UI2: hr = ToInteger(value, out.uiVal); break;
    case VT_UI4: hr = ToInteger(value, out.ulVal); break;
    case VT_UINT: hr = ToInteger(value, out.uintVal); break;
    case VT_UI8: hr = ToInteger(value, out.ullVal); break;
    default:
      return DISP_E_BADVARTYPE;
  }
  if (FAILED(hr)) return hr;
  out.vt = vt;
  return S_OK;
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT /*wFlags*/,
                          VARTYPE vt) {
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  if (pvarSrc->vt == vt) return VariantCopy(pvargDest, pvarSrc);
  Value value;
  HRESULT hr = Decode(*pvarSrc, value);
  if (FAILED(hr)) return hr;
  VARIANT converted;
  hr = Encode(value, vt, converted);
  if (FAILED(hr)) return hr;
  // The source may be the destination: it is decoded, so clearing is safe.
  VariantClear(pvargDest);
  *pvargDest = converted;
  return S_OK;
}

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID /*lcid*/,
                            USHORT wFlags, VARTYPE vt) {
  return VariantChangeType(pvargDest, pvarSrc, wFlags, vt);
}
