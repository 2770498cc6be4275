// VariantChangeType between any two supported types, in place or not. A
// success carries the asked type, and a real that becomes an integer keeps
// its value to within rounding.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "FuzzInput.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I1,  VT_I2,   VT_I4,   VT_INT,   VT_I8,
                              VT_UI1,   VT_UI2,  VT_UI4, VT_UINT, VT_UI8,  VT_R4,    VT_R8,
                              VT_CY,    VT_BOOL, VT_BSTR, VT_ERROR, VT_DATE, VT_DECIMAL};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "variant_change_type: %s\n", what);
  std::abort();
}

VARIANT Source(FuzzInput& in) {
  VARIANT v;
  VariantInit(&v);
  v.vt = kTypes[in.Pick(std::size(kTypes))];
  if (v.vt == VT_BSTR) {
    std::u16string text = AnsiToOle(in.TakeRest());
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  } else if (v.vt != VT_DECIMAL) {
    v.llVal = in.Take<int64_t>();  // the union's first bytes: every fixed type
  }
  return v;
}

// |integer - real| <= 0.5 for a successful real-to-integer conversion.
void CheckRounding(const VARIANT& from, const VARIANT& to) {
  if (from.vt != VT_R8 && from.vt != VT_R4) return;
  double real = from.vt == VT_R8 ? from.dblVal : from.fltVal;
  long double integer;
  switch (to.vt) {
    case VT_I8: integer = to.llVal; break;
    case VT_UI8: integer = to.ullVal; break;
    case VT_I4: integer = to.lVal; break;
    case VT_UI4: integer = to.ulVal; break;
    case VT_I2: integer = to.iVal; break;
    default: return;
  }
  if (std::fabs(integer - static_cast<long double>(real)) > 0.5L) Fail("a real converted out of range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  VARTYPE target = kTypes[in.Pick(std::size(kTypes))];
  bool inPlace = in.Take<uint8_t>() & 1;
  VARIANT source = Source(in);
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = VariantChangeType(&result, &source, 0, target);
  if (SUCCEEDED(hr)) {
    if (result.vt != target) Fail("the result is not of the asked type");
    CheckRounding(source, result);
    if (target == VT_BSTR && !result.bstrVal) Fail("a text result without text");
  }
  if (inPlace) VariantChangeType(&source, &source, 0, target);
  VariantClear(&result);
  VariantClear(&source);
  return 0;
}
