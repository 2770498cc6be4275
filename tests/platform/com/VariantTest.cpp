// Automation conversions as the property browser shows values.
#include <gtest/gtest.h>

#include <cmath>

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
