#include <gtest/gtest.h>

#include "stringapiset.h"

namespace {

TEST(TextConversionTest, RoundTripsOutsideTheBasicPlane) {
  std::string utf8 = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";  // a é 日 😀
  std::u16string wide = AnsiToOle(utf8);
  EXPECT_EQ(wide.size(), 5u);  // the emoji is a surrogate pair
  EXPECT_EQ(OleToAnsi(wide), utf8);
}

TEST(TextConversionTest, MalformedInputBecomesReplacementNotACrash) {
  std::string bad = "x\xC3";  // truncated sequence at the end
  EXPECT_EQ(AnsiToOle(bad), u"x\uFFFD");
  std::u16string lone = {u'y', static_cast<char16_t>(0xD800)};
  EXPECT_EQ(OleToAnsi(lone), "y\xEF\xBF\xBD");
}

TEST(TextConversionTest, PlatformCallsReportSizesAndRefuseShortBuffers) {
  const char16_t* text = u"\u00e9t\u00e9";
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 6);
  char buf[6];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, buf, 6, nullptr, nullptr), 6);
  EXPECT_STREQ(buf, "\xC3\xA9t\xC3\xA9");
  char small[5];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, small, 5, nullptr, nullptr), 0);
  char16_t wide[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, buf, -1, wide, 4), 4);
  EXPECT_EQ(std::u16string(wide), text);
}

}  // namespace
