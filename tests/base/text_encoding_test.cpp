#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace dz {
namespace {

TEST(Utf8CharLength, TakesWellFormedCharactersOnly) {
  EXPECT_EQ(utf8CharLength("a", 0), 1u);
  EXPECT_EQ(utf8CharLength(u8"中", 0), 3u);
  EXPECT_EQ(utf8CharLength("\xF0\x9F\x98\x80", 0), 4u);
  EXPECT_EQ(utf8CharLength("\xC3\xA9", 0), 2u);
  for (const char* bad : {"\x80", "\xC3", "\xE4\xB8", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xF8\x88\x80\x80\x80", "\xD6\xD0"})
    EXPECT_EQ(utf8CharLength(bad, 0), 0u) << bad;
}

TEST(Utf8LineToGbk, ConvertsWholeLines) {
  std::string gbk;
  Utf8Refusal refusal;
  ASSERT_TRUE(utf8LineToGbk(u8"控1,KZD,100.5", gbk, refusal));
  EXPECT_EQ(gbk, "控1,KZD,100.5");  // a plain literal is GBK
  ASSERT_TRUE(utf8LineToGbk("P01,1,2,3", gbk, refusal));
  EXPECT_EQ(gbk, "P01,1,2,3");
  ASSERT_TRUE(utf8LineToGbk("", gbk, refusal));
  EXPECT_EQ(gbk, "");
}

TEST(Utf8LineToGbk, RefusesAtTheFirstCharacterGbkCannotHold) {
  std::string gbk;
  Utf8Refusal refusal;
  ASSERT_FALSE(utf8LineToGbk(u8"控1,\U0001F600,\u00E9", gbk, refusal));
  EXPECT_EQ(refusal.offset, 5u);
  EXPECT_EQ(refusal.bytes, "\xF0\x9F\x98\x80");
  EXPECT_EQ(refusal.codePoint, 0x1F600);
  EXPECT_EQ(describeRefusal(refusal), "U+1F600");
}

TEST(Utf8LineToGbk, RefusesAByteThatIsNotUtf8) {
  std::string gbk;
  Utf8Refusal refusal;
  // GBK bytes read as UTF-8: 控 is BF D8.
  ASSERT_FALSE(utf8LineToGbk("P1,\xBF\xD8", gbk, refusal));
  EXPECT_EQ(refusal.offset, 3u);
  EXPECT_EQ(refusal.codePoint, -1);
  EXPECT_EQ(describeRefusal(refusal), "byte 0xBF");
}

TEST(Utf8Evidence, UnicodeTextBeyondAsciiLooksLikeUtf8) {
  Utf8Evidence ascii;
  ascii.see("P01,1,2,3");
  EXPECT_FALSE(ascii.looksLikeUtf8());

  Utf8Evidence utf8;
  utf8.see("P01,1,2,3");
  utf8.see(u8"控1,,1,2,3");
  EXPECT_TRUE(utf8.looksLikeUtf8());

  // GBK text is not UTF-8, and one such line settles it for the file.
  Utf8Evidence gbk;
  gbk.see(u8"控1,,1,2,3");
  gbk.see("控2,,1,2,3");
  EXPECT_FALSE(gbk.looksLikeUtf8());
}

// A character beyond ASCII counts wherever it falls in a line of any length,
// the last byte included.
TEST(Utf8Evidence, EveryByteOfALineIsSeen) {
  for (size_t length = 1; length <= 40; ++length) {
    for (size_t at = 0; at < length; ++at) {
      std::string line(length, 'a');
      line[at] = '\x80';  // a continuation byte alone: not UTF-8
      Utf8Evidence lone;
      lone.see(line);
      lone.see(u8"控");
      EXPECT_FALSE(lone.looksLikeUtf8()) << length << " " << at;
      if (at + 1 == length) continue;
      line[at] = '\xC3';  // U+00E9, two bytes
      line[at + 1] = '\xA9';
      Utf8Evidence accented;
      accented.see(line);
      EXPECT_TRUE(accented.looksLikeUtf8()) << length << " " << at;
    }
  }
}

}  // namespace
}  // namespace dz
