// Automation conversions as the property browser shows values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "oleauto.h"

namespace {

std::string AsText(VARIANT v, HRESULT* phr = nullptr) {
  VARIANT text;
  VariantInit(&text);
  HRESULT hr = VariantChangeType(&text, &v, 0, VT_BSTR);
  if (phr) *phr = hr;
  std::string out = SUCCEEDED(hr) ? OleToAnsi(text.bstrVal) : "<failed>";
  VariantClear(&text);
  return out;
}

VARIANT Make(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  return v;
}

TEST(VariantTest, ToTextFollowsAutomationRules) {
  VARIANT v = Make(VT_I4);
  v.lVal = -42;
  EXPECT_EQ(AsText(v), "-42");
  v = Make(VT_I2);
  v.iVal = 32767;
  EXPECT_EQ(AsText(v), "32767");
  v = Make(VT_UI4);
  v.ulVal = 4294967295u;
  EXPECT_EQ(AsText(v), "4294967295");
  v = Make(VT_I8);
  v.llVal = INT64_MIN;
  EXPECT_EQ(AsText(v), "-9223372036854775808");
  v = Make(VT_BOOL);
  v.boolVal = VARIANT_TRUE;
  EXPECT_EQ(AsText(v), "-1");
  v.boolVal = VARIANT_FALSE;
  EXPECT_EQ(AsText(v), "0");
  EXPECT_EQ(AsText(Make(VT_EMPTY)), "");
  v = Make(VT_R8);
  v.dblVal = 0.1;
  EXPECT_EQ(AsText(v), "0.1");
  v.dblVal = 1.5e300;
  EXPECT_EQ(AsText(v), "1.5e+300");
  v.dblVal = 3.0;
  EXPECT_EQ(AsText(v), "3");
  v = Make(VT_R4);
  v.fltVal = 0.1f;
  EXPECT_EQ(AsText(v), "0.10000000149011612");  // widened exactly, then shortest
}

TEST(VariantTest, StringsPassThroughAndValuesWithoutTextFail) {
  VARIANT v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u"Grüße; \"x\"");
  EXPECT_EQ(AsText(v), "Grüße; \"x\"");
  VariantClear(&v);
  HRESULT hr = S_OK;
  AsText(Make(VT_NULL), &hr);
  EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
  VARIANT unk = Make(VT_UNKNOWN);
  AsText(unk, &hr);
  EXPECT_TRUE(FAILED(hr));
}

TEST(VariantTest, TextToNumbersAndBooleans) {
  VARIANT v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u" 123 ");
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(VariantChangeType(&out, &v, 0, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 123);
  ASSERT_EQ(VariantChangeType(&out, &v, 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  VariantClear(&v);
  v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u"70000");
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_I2), DISP_E_OVERFLOW);
  VariantClear(&v);
  v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u"12abc");
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  VariantClear(&v);
  v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u"False");
  ASSERT_EQ(VariantChangeType(&out, &v, 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_FALSE);
  VariantClear(&v);
}

HRESULT RealTo(double d, VARTYPE vt, VARIANT& out, VARTYPE from = VT_R8) {
  VARIANT v = Make(from);
  if (from == VT_R4) v.fltVal = static_cast<float>(d);
  else v.dblVal = d;
  VariantInit(&out);
  return VariantChangeType(&out, &v, 0, vt);
}

HRESULT TextTo(const char16_t* text, VARTYPE vt, VARIANT& out) {
  VARIANT v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(text);
  VariantInit(&out);
  HRESULT hr = VariantChangeType(&out, &v, 0, vt);
  VariantClear(&v);
  return hr;
}

// A real just past a type's range must overflow even where the type's
// maximum is not exact as a double (it rounds up to 2^63 or 2^64).
TEST(VariantTest, RealsAtTheEdgesOfIntegerRanges) {
  VARIANT out;
  const double two63 = std::ldexp(1.0, 63);
  EXPECT_EQ(RealTo(two63, VT_I8, out), DISP_E_OVERFLOW);
  EXPECT_EQ(RealTo(two63, VT_I8, out, VT_R4), DISP_E_OVERFLOW);
  ASSERT_EQ(RealTo(-two63, VT_I8, out), S_OK);
  EXPECT_EQ(out.llVal, std::numeric_limits<int64_t>::min());
  ASSERT_EQ(RealTo(std::nextafter(two63, 0.0), VT_I8, out), S_OK);
  EXPECT_EQ(out.llVal, int64_t{0x7FFFFFFFFFFFFC00});
  EXPECT_EQ(RealTo(std::ldexp(1.0, 64), VT_UI8, out), DISP_E_OVERFLOW);
  ASSERT_EQ(RealTo(two63, VT_UI8, out), S_OK);
  EXPECT_EQ(out.ullVal, uint64_t{1} << 63);
  EXPECT_EQ(RealTo(std::ldexp(1.0, 32), VT_UI4, out, VT_R4), DISP_E_OVERFLOW);
  EXPECT_EQ(RealTo(2147483648.0, VT_I4, out), DISP_E_OVERFLOW);
  ASSERT_EQ(RealTo(-2147483648.4, VT_I4, out), S_OK);
  EXPECT_EQ(out.lVal, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RealTo(-0.6, VT_UI2, out), DISP_E_OVERFLOW);
  ASSERT_EQ(RealTo(-0.4, VT_UI2, out), S_OK);
  EXPECT_EQ(out.uiVal, 0);
  ASSERT_EQ(RealTo(127.5, VT_I1, out), DISP_E_OVERFLOW);
  EXPECT_EQ(RealTo(std::nan(""), VT_I4, out), DISP_E_OVERFLOW);
  EXPECT_EQ(RealTo(HUGE_VAL, VT_I8, out), DISP_E_OVERFLOW);
  EXPECT_EQ(RealTo(1e39, VT_R4, out), DISP_E_OVERFLOW);
}

// Digits beyond 64 bits overflow; they never wrap or snap to a limit.
TEST(VariantTest, TextBeyondSixtyFourBitsOverflows) {
  VARIANT out;
  ASSERT_EQ(TextTo(u"18446744073709551615", VT_UI8, out), S_OK);
  EXPECT_EQ(out.ullVal, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(TextTo(u"18446744073709551616", VT_UI8, out), DISP_E_OVERFLOW);
  EXPECT_EQ(TextTo(u"9223372036854775808", VT_I8, out), DISP_E_OVERFLOW);
  ASSERT_EQ(TextTo(u"-9223372036854775808", VT_I8, out), S_OK);
  EXPECT_EQ(out.llVal, std::numeric_limits<int64_t>::min());
  EXPECT_EQ(TextTo(u"-9223372036854775809", VT_I8, out), DISP_E_OVERFLOW);
  EXPECT_EQ(TextTo(u" +99999999999999999999 ", VT_I8, out), DISP_E_OVERFLOW);
  EXPECT_EQ(TextTo(u"9.3e18", VT_I8, out), DISP_E_OVERFLOW);
  ASSERT_EQ(TextTo(u"99999999999999999999", VT_R8, out), S_OK);
  EXPECT_DOUBLE_EQ(out.dblVal, 1e20);
}

TEST(VariantTest, InPlaceConversionAndCopyOwnership) {
  VARIANT v = Make(VT_BSTR);
  v.bstrVal = SysAllocString(u"2.5");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_R8), S_OK);
  EXPECT_EQ(v.vt, VT_R8);
  EXPECT_DOUBLE_EQ(v.dblVal, 2.5);
  VARIANT a = Make(VT_BSTR);
  a.bstrVal = SysAllocString(u"abc");
  VARIANT b;
  VariantInit(&b);
  ASSERT_EQ(VariantCopy(&b, &a), S_OK);
  EXPECT_NE(a.bstrVal, b.bstrVal);  // deep copy: both are cleared below
  VariantClear(&a);
  EXPECT_EQ(std::u16string(b.bstrVal), u"abc");
  VariantClear(&b);
  EXPECT_EQ(b.vt, VT_EMPTY);
}

TEST(BstrTest, LengthPrefixAndEmbeddedNulls) {
  const OLECHAR text[] = {u'a', 0, u'b'};
  BSTR b = SysAllocStringLen(text, 3);
  EXPECT_EQ(SysStringLen(b), 3u);
  EXPECT_EQ(SysStringByteLen(b), 6u);
  EXPECT_EQ(b[3], 0);
  SysFreeString(b);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
}

}  // namespace
