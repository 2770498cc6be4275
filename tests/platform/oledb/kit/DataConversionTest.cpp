// Values into bindings and back: statuses, lengths, truncation, ownership.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "AccessorTable.h"
#include "DataConversion.h"
#include "KitTestSupport.h"
#include "objbase.h"
#include "oleauto.h"

namespace {

struct Fixed {
  int64_t value;
  DBLENGTH length;
  DBSTATUS status;
};

DBBINDING FixedBinding(DBTYPE type) {
  return MakeBinding(1, type, 0, offsetof(Fixed, value), offsetof(Fixed, length), offsetof(Fixed, status));
}

DBSTATUS ToText(const NativeValueView& v, TextSlot& slot) {
  std::memset(&slot, 0x7F, sizeof slot);
  return ConvertToBinding(v, TextSlotBinding(1), reinterpret_cast<BYTE*>(&slot));
}

TEST(DataConversionTest, NullGivesIsNullStatusAndZeroLength) {
  TextSlot slot;
  EXPECT_EQ(ToText(NativeValueView::Null(), slot), DBSTATUS_S_ISNULL);
  EXPECT_EQ(slot.status, DBSTATUS_S_ISNULL);
  EXPECT_EQ(slot.length, 0u);

  void* pointer = reinterpret_cast<void*>(0x1);
  DBBINDING byRef = ByRefTextBinding(1, 0);
  EXPECT_EQ(ConvertToBinding(NativeValueView::Null(), byRef, reinterpret_cast<BYTE*>(&pointer)),
            DBSTATUS_S_ISNULL);
  EXPECT_EQ(pointer, nullptr);  // never a stale pointer the reader would free
}

TEST(DataConversionTest, LongTextIsTruncatedTerminatedAndReportsFullLength) {
  std::string text(300, 'x');
  TextSlot slot;
  EXPECT_EQ(ToText(NativeValueView::Text(text), slot), DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(slot.status, DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(slot.length, 300u);
  EXPECT_EQ(std::strlen(slot.value), 255u);
  EXPECT_EQ(std::string(slot.value), std::string(255, 'x'));
}

TEST(DataConversionTest, TruncationNeverSplitsAMultiByteCharacter) {
  // "é" takes bytes 254 and 255; only 255 bytes fit before the terminator.
  std::string text = std::string(254, 'a') + "\xC3\xA9" + "tail";
  TextSlot slot;
  EXPECT_EQ(ToText(NativeValueView::Text(text), slot), DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(std::strlen(slot.value), 254u);
  EXPECT_EQ(slot.length, text.size());

  // A four-byte character straddling the cut goes whole too.
  std::string emoji = std::string(253, 'b') + "\xF0\x9F\x98\x80";
  EXPECT_EQ(ToText(NativeValueView::Text(emoji), slot), DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(std::strlen(slot.value), 253u);
}

TEST(DataConversionTest, TextThatFitsExactlyIsNotTruncated) {
  std::string text(255, 'z');
  TextSlot slot;
  EXPECT_EQ(ToText(NativeValueView::Text(text), slot), DBSTATUS_S_OK);
  EXPECT_EQ(std::string(slot.value), text);
  EXPECT_EQ(slot.length, 255u);
}

TEST(DataConversionTest, ByRefTextDeliversTheWholeValueInTaskMemory) {
  std::string text(300, 'q');
  char* pointers[2] = {nullptr, nullptr};
  DBBINDING b = ByRefTextBinding(1, 1);
  EXPECT_EQ(ConvertToBinding(NativeValueView::Text(text), b, reinterpret_cast<BYTE*>(pointers)),
            DBSTATUS_S_OK);
  ASSERT_NE(pointers[1], nullptr);
  EXPECT_EQ(std::string(pointers[1]), text);
  EXPECT_EQ(pointers[0], nullptr);  // the neighbouring slot is untouched
  CoTaskMemFree(pointers[1]);
}

TEST(DataConversionTest, NumbersBecomeDecimalAndShortestRealText) {
  TextSlot slot;
  ToText(NativeValueView::Integer(-9007199254740993LL), slot);
  EXPECT_STREQ(slot.value, "-9007199254740993");
  ToText(NativeValueView::Real(0.1), slot);
  EXPECT_STREQ(slot.value, "0.1");
  ToText(NativeValueView::Real(2.5e-300), slot);
  EXPECT_STREQ(slot.value, "2.5e-300");
  const unsigned char bytes[] = {0x00, 0xAB, 0x7F};
  ToText(NativeValueView::Blob(bytes, sizeof bytes), slot);
  EXPECT_STREQ(slot.value, "00AB7F");
  EXPECT_EQ(slot.length, 6u);
}

TEST(DataConversionTest, WideTextCountsBytesAndCutsBeforeSurrogatePairs) {
  struct {
    char16_t text[4];
    DBLENGTH length;
    DBSTATUS status;
  } row;
  DBBINDING b = MakeBinding(1, DBTYPE_WSTR, sizeof row.text, offsetof(decltype(row), text),
                            offsetof(decltype(row), length), offsetof(decltype(row), status));
  // "a😀b": the pair would need slots 1-2, the terminator slot 3: fits.
  EXPECT_EQ(ConvertToBinding(NativeValueView::Text("a\xF0\x9F\x98\x80"), b, reinterpret_cast<BYTE*>(&row)),
            DBSTATUS_S_OK);
  EXPECT_EQ(row.length, 6u);
  EXPECT_EQ(std::u16string(row.text), u"a\U0001F600");
  // "ab😀": only slots 0-2 before the terminator; the pair would straddle.
  EXPECT_EQ(ConvertToBinding(NativeValueView::Text("ab\xF0\x9F\x98\x80"), b, reinterpret_cast<BYTE*>(&row)),
            DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(std::u16string(row.text), u"ab");
  EXPECT_EQ(row.length, 8u);
}

TEST(DataConversionTest, NumericTargetsCheckTextAndRange) {
  Fixed f{};
  auto convert = [&](const NativeValueView& v, DBTYPE type) {
    f = Fixed{};
    return ConvertToBinding(v, FixedBinding(type), reinterpret_cast<BYTE*>(&f));
  };
  EXPECT_EQ(convert(NativeValueView::Text("abc"), DBTYPE_I4), DBSTATUS_E_CANTCONVERTVALUE);
  EXPECT_EQ(f.status, DBSTATUS_E_CANTCONVERTVALUE);
  EXPECT_EQ(convert(NativeValueView::Text("12abc"), DBTYPE_I4), DBSTATUS_E_CANTCONVERTVALUE);
  EXPECT_EQ(convert(NativeValueView::Integer(40000), DBTYPE_I2), DBSTATUS_E_DATAOVERFLOW);
  EXPECT_EQ(convert(NativeValueView::Integer(-32768), DBTYPE_I2), DBSTATUS_S_OK);
  EXPECT_EQ(static_cast<int16_t>(f.value), -32768);
  EXPECT_EQ(f.length, 2u);
  EXPECT_EQ(convert(NativeValueView::Integer(-1), DBTYPE_UI4), DBSTATUS_E_SIGNMISMATCH);
  EXPECT_EQ(convert(NativeValueView::Real(1e30), DBTYPE_I8), DBSTATUS_E_DATAOVERFLOW);
  EXPECT_EQ(convert(NativeValueView::Text(" 42 "), DBTYPE_I4), DBSTATUS_S_OK);
  EXPECT_EQ(static_cast<int32_t>(f.value), 42);
  EXPECT_EQ(convert(NativeValueView::Text("2.75"), DBTYPE_R8), DBSTATUS_S_OK);
  double d;
  std::memcpy(&d, &f.value, sizeof d);
  EXPECT_EQ(d, 2.75);
  EXPECT_EQ(convert(NativeValueView::Text("TRUE"), DBTYPE_BOOL), DBSTATUS_S_OK);
  EXPECT_EQ(static_cast<VARIANT_BOOL>(f.value), VARIANT_TRUE);
  EXPECT_EQ(convert(NativeValueView::Text("maybe"), DBTYPE_BOOL), DBSTATUS_E_CANTCONVERTVALUE);
  const char blob[] = "raw";
  EXPECT_EQ(convert(NativeValueView::Blob(blob, 3), DBTYPE_I4), DBSTATUS_E_CANTCONVERTVALUE);
}

TEST(DataConversionTest, VariantAndBstrTargetsOwnTheirText) {
  VARIANT v;
  DBBINDING b = MakeBinding(1, DBTYPE_VARIANT, 0, 0, 0, 0, DBPART_VALUE);
  ASSERT_EQ(ConvertToBinding(NativeValueView::Text("h\xC3\xA9"), b, reinterpret_cast<BYTE*>(&v)),
            DBSTATUS_S_OK);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(v.bstrVal), u"h\u00E9");
  VariantClear(&v);

  BSTR s = nullptr;
  b = MakeBinding(1, DBTYPE_BSTR, 0, 0, 0, 0, DBPART_VALUE);
  ASSERT_EQ(ConvertToBinding(NativeValueView::Integer(7), b, reinterpret_cast<BYTE*>(&s)), DBSTATUS_S_OK);
  EXPECT_EQ(std::u16string(s), u"7");
  SysFreeString(s);
}

TEST(DataConversionTest, ReadsClientValuesForWrites) {
  TextSlot slot{};
  std::strcpy(slot.value, "hello world");
  slot.length = 5;
  slot.status = DBSTATUS_S_OK;
  NativeValue out;
  EXPECT_EQ(ConvertFromBinding(TextSlotBinding(1), reinterpret_cast<BYTE*>(&slot), out), DBSTATUS_S_OK);
  EXPECT_EQ(out.Kind(), NativeKind::Text);
  EXPECT_EQ(out.Bytes(), "hello");

  slot.status = DBSTATUS_S_ISNULL;
  EXPECT_EQ(ConvertFromBinding(TextSlotBinding(1), reinterpret_cast<BYTE*>(&slot), out), DBSTATUS_S_OK);
  EXPECT_TRUE(out.IsNull());

  slot.status = 0x1234;
  EXPECT_EQ(ConvertFromBinding(TextSlotBinding(1), reinterpret_cast<BYTE*>(&slot), out), DBSTATUS_E_BADSTATUS);

  // Without a length part, text runs to its terminator but never past the buffer.
  slot.status = DBSTATUS_S_OK;
  std::memset(slot.value, 'y', sizeof slot.value);
  DBBINDING noLength = TextSlotBinding(1);
  noLength.dwPart = DBPART_VALUE | DBPART_STATUS;
  EXPECT_EQ(ConvertFromBinding(noLength, reinterpret_cast<BYTE*>(&slot), out), DBSTATUS_S_OK);
  EXPECT_EQ(out.Bytes().size(), 256u);

  Fixed f{};
  f.value = -7;
  EXPECT_EQ(ConvertFromBinding(FixedBinding(DBTYPE_I4), reinterpret_cast<BYTE*>(&f), out), DBSTATUS_S_OK);
  EXPECT_EQ(out.Integer(), -7);
  f.value = -1;  // all ones as an unsigned 64-bit value
  EXPECT_EQ(ConvertFromBinding(FixedBinding(DBTYPE_UI8), reinterpret_cast<BYTE*>(&f), out),
            DBSTATUS_E_DATAOVERFLOW);
}

// By reference, only the length part tells how many bytes the client's
// block holds; cbMaxLen does not, so without a length nothing is read.
TEST(DataConversionTest, ByRefBytesAreReadByTheirLengthOnly) {
  struct Row {
    const BYTE* value;
    DBLENGTH length;
    DBSTATUS status;
  };
  auto block = std::make_unique<BYTE[]>(3);
  std::memcpy(block.get(), "\x00" "ab", 3);
  Row row{block.get(), 3, DBSTATUS_S_OK};
  DBBINDING b = MakeBinding(1, DBTYPE_BYTES | DBTYPE_BYREF, 40, offsetof(Row, value),
                            offsetof(Row, length), offsetof(Row, status));
  NativeValue out;
  ASSERT_EQ(ConvertFromBinding(b, reinterpret_cast<BYTE*>(&row), out), DBSTATUS_S_OK);
  EXPECT_EQ(out.Kind(), NativeKind::Blob);
  EXPECT_EQ(out.Bytes(), std::string("\x00" "ab", 3));

  b.dwPart = DBPART_VALUE | DBPART_STATUS;
  out = NativeValue::Integer(5);
  EXPECT_EQ(ConvertFromBinding(b, reinterpret_cast<BYTE*>(&row), out), DBSTATUS_E_CANTCONVERTVALUE);
  EXPECT_EQ(out.Integer(), 5);  // unchanged
}

TEST(DataConversionTest, RowStatusFollowsTheBindingsThatFailed) {
  struct Row {
    TextSlot text;
    Fixed number;
  } row{};
  Accessor accessor;
  accessor.bindings.push_back(TextSlotBinding(1));
  DBBINDING number = FixedBinding(DBTYPE_I2);
  number.iOrdinal = 2;
  number.obValue += offsetof(Row, number);
  number.obLength += offsetof(Row, number);
  number.obStatus += offsetof(Row, number);
  accessor.bindings.push_back(number);

  std::string longText(300, 'x');
  auto fill = [&](NativeValueView first, NativeValueView second) {
    return FillRowBuffer(accessor, reinterpret_cast<BYTE*>(&row),
                         [&](DBORDINAL ordinal) { return ordinal == 1 ? first : second; });
  };
  // Truncation and NULL are warnings: the call still succeeds.
  EXPECT_EQ(fill(NativeValueView::Text(longText), NativeValueView::Null()), S_OK);
  EXPECT_EQ(row.text.status, DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(row.number.status, DBSTATUS_S_ISNULL);
  EXPECT_EQ(fill(NativeValueView::Text("ok"), NativeValueView::Integer(1 << 20)), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(row.number.status, DBSTATUS_E_DATAOVERFLOW);
  accessor.bindings.erase(accessor.bindings.begin());
  EXPECT_EQ(fill(NativeValueView::Null(), NativeValueView::Text("abc")), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(CombineBindingStatuses(0, 0), S_OK);
}

}  // namespace
