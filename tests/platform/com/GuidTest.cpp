#include <gtest/gtest.h>

#include "objbase.h"

namespace {

constexpr GUID kSample = {0xC8B52229, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};

TEST(GuidTest, TextIsBracedUpperCaseAndRoundTrips) {
  OLECHAR text[40];
  ASSERT_EQ(StringFromGUID2(kSample, text, 40), 39);
  EXPECT_EQ(std::u16string(text), u"{C8B52229-5CF3-11CE-ADE5-00AA0044773D}");
  CLSID back{};
  ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
  EXPECT_EQ(back, kSample);
  EXPECT_EQ(CLSIDFromString(u"{c8b52229-5cf3-11ce-ade5-00aa0044773d}", &back), S_OK);
  EXPECT_EQ(back, kSample);
}

TEST(GuidTest, BufferTooSmallWritesNothing) {
  OLECHAR text[38] = {u'x'};
  EXPECT_EQ(StringFromGUID2(kSample, text, 38), 0);
  EXPECT_EQ(text[0], u'x');
}

TEST(GuidTest, MalformedTextIsRejected) {
  CLSID out = kSample;
  for (const char16_t* bad : {u"{C8B52229-5CF3-11CE-ADE5-00AA0044773}", u"C8B52229-5CF3-11CE-ADE5-00AA0044773D",
                              u"{C8B52229-5CF3-11CE-ADE5-00AA0044773DX", u"{G8B52229-5CF3-11CE-ADE5-00AA0044773D}",
                              u"{C8B52229+5CF3-11CE-ADE5-00AA0044773D}"}) {
    EXPECT_EQ(CLSIDFromString(bad, &out), CO_E_CLASSSTRING) << OleToAnsi(bad);
    EXPECT_EQ(out, GUID_NULL);
  }
}

}  // namespace
