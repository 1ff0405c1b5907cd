#include <gtest/gtest.h>

#include <string>

#include "base/gbk.h"
#include "ui/control_text.h"

namespace dz::test {
namespace {

TEST(ControlText, GbkTextsBecomeTheirCharacters) {
  EXPECT_EQ(ui::ControlText("\xD7\xAA\xBB\xBB OK"), u"转换 OK");  // 转换
  EXPECT_EQ(ui::ControlText("\x80"), u"\u20AC");
  EXPECT_EQ(ui::ControlTextBytes(u"转换 OK"), "\xD7\xAA\xBB\xBB OK");
}

TEST(ControlText, BytesThatAreNotGbkComeBackAsThemselves) {
  const std::string cases[] = {
      "1\xFF" "2,3,4",                                 // a byte that starts no character
      "\xE7\x82\xB9\xE4\xB8\x89,1.5",                  // UTF-8: pairs GBK has, and some it has not
      "\x81\x7F",                                      // a lead byte whose pair is no character
      "end\x81",                                       // a lead byte at the end
      std::string("\xFE\xFF\xFF\x81\x30", 5),
  };
  for (const std::string& bytes : cases) {
    const std::u16string text = ui::ControlText(bytes);
    EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << bytes;
    EXPECT_EQ(ui::ControlTextBytes(text), bytes) << bytes;
  }
  EXPECT_EQ(ui::ControlText("1\xFF" "2"), u"1\xDCFF" u"2");
  EXPECT_EQ(ui::ControlText("\x81\x7F"), u"\xDC81\x7F");
}

TEST(ControlText, EveryTwoByteSequenceComesBack) {
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(ui::ControlTextBytes(ui::ControlText(bytes)), bytes) << lead << " " << trail;
    }
}

TEST(ControlText, CharactersGbkCannotHoldBecomeQuestionMarks) {
  EXPECT_EQ(ui::ControlTextBytes(u"a\uD55Cb"), "a?b");  // 한
  // A surrogate that is no escaped byte is no character either.
  EXPECT_EQ(ui::ControlTextBytes(u"\xDC7F"), "?");
}

}  // namespace
}  // namespace dz::test
