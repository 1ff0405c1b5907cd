#include "base/gbk.h"

#include <gtest/gtest.h>

namespace dz {
namespace {

TEST(Gbk, LiteralsAreCompiledToGbkBytes) {
  // The build's execution character set is GBK: the whole system relies on it.
  EXPECT_EQ(std::string("转换完毕！！"), "\xD7\xAA\xBB\xBB\xCD\xEA\xB1\xCF\xA3\xA1\xA3\xA1");
}

TEST(Gbk, RoundTripsThroughUtf8) {
  const std::string gbk = "砖混 1层 国有土地所有权";
  const std::string utf8 = gbkToUtf8(gbk);
  EXPECT_EQ(utf8, u8"砖混 1层 国有土地所有权");
  std::string back;
  EXPECT_TRUE(utf8ToGbk(utf8, back));
  EXPECT_EQ(back, gbk);
}

TEST(Gbk, FullWidthSpaceAndEuro) {
  EXPECT_EQ(gbkToUtf8("\xA1\xA1"), u8"\u3000");
  EXPECT_EQ(gbkToUtf8("\x80"), u8"\u20AC");
}

TEST(Gbk, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(gbkToUtf8("a\xFF" "b"), u8"a\uFFFDb");
  EXPECT_EQ(gbkToUtf8("\xB0"), u8"\uFFFD");  // lead byte at the end
}

TEST(Gbk, EscapedConversionKeepsInvalidBytesVisible) {
  EXPECT_EQ(gbkToUtf8Escaped("\xD7\xA9" "3"), u8"砖3");
  EXPECT_EQ(gbkToUtf8Escaped("a\xFF" "b"), "a\\xFFb");
  EXPECT_EQ(gbkToUtf8Escaped("\xB0"), "\\xB0");           // lead byte at the end
  EXPECT_EQ(gbkToUtf8Escaped("\x81\x20" "c"), "\\x81 c");  // a trail below 0x40 is a byte of its own
  EXPECT_EQ(gbkToUtf8Escaped("\x80"), u8"\u20AC");
}

TEST(Gbk, CharactersWithoutGbkFormAreReported) {
  std::string out;
  EXPECT_FALSE(utf8ToGbk(u8"a\U0001F600b", out));
  EXPECT_EQ(out, "a?b");
  EXPECT_FALSE(utf8ToGbk("\xC3", out));  // cut UTF-8
}

TEST(Gbk, Utf16RoundTrip) {
  const std::string gbk = "读文本数据 OK";
  std::string back;
  EXPECT_TRUE(utf16ToGbk(gbkToUtf16(gbk), back));
  EXPECT_EQ(back, gbk);
  EXPECT_EQ(gbkToUtf16("宋体"), u"宋体");
}

TEST(Gbk, PrefixNeverSplitsACharacter) {
  EXPECT_EQ(gbkPrefixLength("a砖混", 3), 3u);
  EXPECT_EQ(gbkPrefixLength("a砖混", 4), 3u);  // the second character would be split
  EXPECT_EQ(gbkPrefixLength("a砖混", 5), 5u);
  EXPECT_EQ(gbkPrefixLength("ab", 9), 2u);
  EXPECT_EQ(gbkPrefixLength("砖", 1), 0u);
  EXPECT_EQ(gbkPrefixLength("ab\xB0", 3), 3u);  // a lead byte at the end counts alone
}

TEST(Gbk, FindMatchesWholeCharactersOnly) {
  // 砼 is ED C5. The two characters B0 ED and C5 F6 hold those bytes across
  // their boundary.
  const std::string text = "\xB0\xED\xC5\xF6";
  EXPECT_EQ(text.find("\xED\xC5"), 1u);     // a byte search finds a false 砼
  EXPECT_EQ(findGbkText(text, "砼"), std::string::npos);
  EXPECT_EQ(findGbkText("钢砼结构", "砼"), 2u);
  EXPECT_EQ(findGbkText("a砖", "砖"), 1u);
  EXPECT_EQ(findGbkText("", "砖"), std::string::npos);
}

}  // namespace
}  // namespace dz
