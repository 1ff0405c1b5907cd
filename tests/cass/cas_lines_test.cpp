#include <gtest/gtest.h>

#include "cass/cas_lines.h"

namespace dz {
namespace {

TEST(CasLineClassification, FirstApplicableTestDecides) {
  struct Case {
    const char* line;
    bool textMode;
    int kind;
    CasLine expected;
  };
  const Case cases[] = {
      // Inside a TEXT section everything but "nil" is a text, keywords included.
      {"TEXT", true, 1, CasLine::TextEntry}, {"END", true, 0, CasLine::TextEntry},
      {"tamberol", true, 0, CasLine::TextEntry}, {"nil", true, 1, CasLine::FeatureEnd},
      {"TEXT", false, 0, CasLine::TextStart}, {"tamberol", false, 2, CasLine::Stop},
      {"[LINE]", false, 1, CasLine::Comment}, {"LINE", false, 0, CasLine::LineKeyword},
      {"PLINE", false, 3, CasLine::LineKeyword}, {"SPECIAL", false, 0, CasLine::LineKeyword},
      {"CIRCLE", false, 0, CasLine::CircleKeyword}, {"POINT", false, 0, CasLine::PointKeyword},
      {"C", false, 1, CasLine::FeatureClose}, {"E", false, 0, CasLine::FeatureClose},
      {"END", false, 0, CasLine::End}, {",1.5,2.5", false, 1, CasLine::Ignored},
      // Without a keyword in force, data lines are ignored.
      {"123,abc", false, 0, CasLine::Ignored}, {"1.5,2.5", false, 0, CasLine::Ignored},
      {"123", false, 1, CasLine::CodeOnly}, {"", false, 1, CasLine::CodeOnly},
      {"LINE ", false, 1, CasLine::CodeOnly}, {"nil ", false, 1, CasLine::CodeOnly},
      {"line", false, 1, CasLine::CodeOnly}, {"1.5,2.5", false, 2, CasLine::Coordinate},
      {".5,2", false, 1, CasLine::Coordinate}, {"12,34", false, 1, CasLine::Header},
      {"123,4.5", false, 1, CasLine::Header},
  };
  for (const Case& c : cases)
    EXPECT_EQ(classifyCasLine(c.line, c.textMode, c.kind), c.expected)
        << "'" << c.line << "' textMode=" << c.textMode << " kind=" << c.kind;
}

// The first comma of a coordinate or header line, which the reader keeps the
// text before.
TEST(CasLineClassification, TellsWhereTheFirstCommaIs) {
  for (const char* line : {"1.5,2.5", "12,34", "123,4.5,x", "a.b.c,,d", "长.1,2"}) {
    size_t comma = 99;
    classifyCasLine(line, false, 1, &comma);
    EXPECT_EQ(comma, std::string_view(line).find(',')) << line;
  }
}

TEST(CasFieldExtraction, FieldsBetweenCommas) {
  EXPECT_EQ(extractCasField("300000,0101,abc", 0), "300000");
  EXPECT_EQ(extractCasField("300000,0101,abc", 1), "0101");
  EXPECT_EQ(extractCasField("300000,0101,abc", 2), "abc");
  EXPECT_EQ(extractCasField("300000,,x", 1), "");
  EXPECT_EQ(extractCasField("300000,0101", 2), "");
  EXPECT_EQ(extractCasField("300000", 0), "");  // no comma, no fields
  EXPECT_EQ(extractCasField(",x,y", 0), ",x,y");  // a leading comma: field 0 is the whole line
  EXPECT_EQ(extractCasField(",x,y", 1), "x");
}

}  // namespace
}  // namespace dz
