#include "base/classic_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/draw.h"

namespace dz {
namespace {

using T = ScanTarget;

TEST(ClassicScan, CodeTableLineTakesTokenAndInteger) {
  std::string code;
  int32_t value = -5;
  EXPECT_EQ(scanFormat("  300000   7311 trailing", "%s %d", {T::text(code), T::integer(value)}), 2);
  EXPECT_EQ(code, "300000");
  EXPECT_EQ(value, 7311);
}

TEST(ClassicScan, ShortLineLeavesLaterTargetsUntouched) {
  std::string code = "old";
  int32_t value = 8521;
  EXPECT_EQ(scanFormat("301000", "%s %d", {T::text(code), T::integer(value)}), 1);
  EXPECT_EQ(code, "301000");
  EXPECT_EQ(value, 8521);
}

TEST(ClassicScan, EmptyAndBlankLinesAreInputFailures) {
  std::string code = "kept";
  EXPECT_EQ(scanFormat("", "%s %d", {T::text(code)}), -1);
  EXPECT_EQ(scanFormat(" \t ", "%s", {T::text(code)}), -1);
  EXPECT_EQ(code, "kept");
}

TEST(ClassicScan, CommaSeparatedPairStopsAtTheMissingComma) {
  double p = 9, q = 9;
  EXPECT_EQ(scanFormat("1.5,2.5", "%lf,%lf", {T::real(p), T::real(q)}), 2);
  EXPECT_DOUBLE_EQ(p, 1.5);
  EXPECT_DOUBLE_EQ(q, 2.5);
  q = 7;
  EXPECT_EQ(scanFormat("3.25", "%lf,%lf", {T::real(p), T::real(q)}), 1);
  EXPECT_DOUBLE_EQ(p, 3.25);
  EXPECT_DOUBLE_EQ(q, 7);
  // A blank before the comma is not the comma: the literal must match at once.
  EXPECT_EQ(scanFormat("4 ,5", "%lf,%lf", {T::real(p), T::real(q)}), 1);
  EXPECT_DOUBLE_EQ(q, 7);
}

TEST(ClassicScan, NonNumberStopsTheScanAndKeepsTheRest) {
  int32_t code = 1, count = 2, kind = 3;
  std::string word = "w";
  EXPECT_EQ(scanFormat("12 x 0 $A", "%ld %d %d %s", {T::integer(code), T::integer(count), T::integer(kind), T::text(word)}),
            1);
  EXPECT_EQ(code, 12);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(kind, 3);
  EXPECT_EQ(word, "w");
  // A line that starts with a non-number assigns nothing.
  EXPECT_EQ(scanFormat("$ 1 2 3", "%ld %d %d %s", {T::integer(code), T::integer(count), T::integer(kind), T::text(word)}),
            0);
  EXPECT_EQ(code, 12);
}

TEST(ClassicScan, PointLineWithAllSixFields) {
  char name[12] = {};
  double e = 0, n = 0, z = 0;
  int32_t a = 0, b = 0;
  EXPECT_EQ(scanFormat("P7 100.5 -200.25 3e2 4 -5", "%s %lf %lf %lf %d %d",
                       {T::text(name, sizeof name), T::real(e), T::real(n), T::real(z), T::integer(a), T::integer(b)}),
            6);
  EXPECT_STREQ(name, "P7");
  EXPECT_DOUBLE_EQ(e, 100.5);
  EXPECT_DOUBLE_EQ(n, -200.25);
  EXPECT_DOUBLE_EQ(z, 300);
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, -5);
}

TEST(ClassicScan, OverlongTokenIsCutAndNeverSpillsIntoTheNextField) {
  char name[12];
  double e = 0;
  EXPECT_EQ(scanFormat("ABCDEFGHIJKLMNOP 12.5", "%s %lf", {T::text(name, sizeof name), T::real(e)}), 2);
  EXPECT_STREQ(name, "ABCDEFGHIJK");  // 11 bytes and the terminator
  EXPECT_DOUBLE_EQ(e, 12.5);
  std::string bounded;
  EXPECT_EQ(scanFormat("0123456789", "%s", {T::text(bounded, 4)}), 1);
  EXPECT_EQ(bounded, "0123");
}

TEST(ClassicScan, AnUnusedTextIsCountedAndKeptNowhere) {
  char first[8] = {}, third[8] = {};
  const ScanFormat format("%s %s %s %d");
  EXPECT_EQ(format.scan("a bbb c 7", {ScanTarget::text(first, sizeof first), ScanTarget::unusedText(),
                                       ScanTarget::text(third, sizeof third)}),
            3);
  EXPECT_STREQ(first, "a");
  EXPECT_STREQ(third, "c");
  // A line that ends before it is short by it.
  EXPECT_EQ(format.scan("x", {ScanTarget::text(first, sizeof first), ScanTarget::unusedText()}), 1);
  EXPECT_STREQ(first, "x");
}

// Lines with zero bytes anywhere scan as the text before the first zero,
// whatever the format and wherever the zero falls (inside a token, a number,
// an exponent, after a literal).
TEST(ClassicScan, AZeroByteEndsTheInputWhereverItFalls) {
  const char alphabet[] = "0123456789.,eE+- \t\0ab";
  test::Draw next(5);
  const ScanFormat formats[] = {ScanFormat("%lf,%lf"), ScanFormat("%s %lf %lf %lf %d %d"),
                                ScanFormat("%s %s %d "), ScanFormat("%ld %d %d %s")};
  for (int trial = 0; trial < 60000; ++trial) {
    std::string line;
    for (uint32_t i = next(24); i > 0; --i) line += alphabet[next(sizeof alphabet - 1)];
    const std::string cut = line.substr(0, line.find('\0'));
    for (const ScanFormat& format : formats) {
      double d[2][3] = {};
      int32_t n[2][2] = {};
      char text[2][12] = {};
      std::string word[2];
      int assigned[2];
      for (int k = 0; k < 2; ++k) {
        const std::string& input = k == 0 ? line : cut;
        if (&format == &formats[0]) {
          assigned[k] = format.scan(input, {T::real(d[k][0]), T::real(d[k][1])});
        } else if (&format == &formats[1]) {
          assigned[k] = format.scan(input, {T::text(text[k], sizeof text[k]), T::real(d[k][0]), T::real(d[k][1]),
                                            T::real(d[k][2]), T::integer(n[k][0]), T::integer(n[k][1])});
        } else if (&format == &formats[2]) {
          assigned[k] = format.scan(input, {T::text(text[k], sizeof text[k]), T::text(word[k]), T::integer(n[k][0])});
        } else {
          assigned[k] = format.scan(input, {T::integer(n[k][0]), T::integer(n[k][1]), T::integer(n[k][0]),
                                            T::text(word[k], 199)});
        }
      }
      ASSERT_EQ(assigned[0], assigned[1]) << testing::PrintToString(line);
      ASSERT_EQ(std::memcmp(d[0], d[1], sizeof d[0]), 0) << testing::PrintToString(line);
      ASSERT_EQ(std::memcmp(n[0], n[1], sizeof n[0]), 0) << testing::PrintToString(line);
      ASSERT_STREQ(text[0], text[1]) << testing::PrintToString(line);
      ASSERT_EQ(word[0], word[1]) << testing::PrintToString(line);
    }
  }
}

// The pair read without the format answers as the format's scan does on
// every input it takes, sets nothing on the others, and takes the usual
// vertex lines.
TEST(ClassicScan, ARealPairReadsAsTheFormatDoes) {
  for (const char* usual : {"121.000,1.000", "-3,4.5", "5.,.5", "+0.25,-0", "1,2,3", "500000.010,3000000.123 x"}) {
    double a = 0, b = 0;
    EXPECT_TRUE(scanRealPair(usual, ',', a, b)) << usual;
  }
  const char* pieces[] = {"1", "-2.50", ".5", "5.", "1e3", "2E+", " ", ",", "\t", "x", "+", "-", ".",
                          "1234567890123456789", "0.1234567890123456"};
  const ScanFormat pair("%lf,%lf");
  test::Draw next(9);
  for (int trial = 0; trial < 40000; ++trial) {
    std::string line;
    for (uint32_t i = next(6); i > 0; --i) line += pieces[next(sizeof pieces / sizeof pieces[0])];
    if (next(8) == 0) line += std::string(1, '\0') + "7";
    double fast[2] = {-7, -7}, scanned[2] = {-7, -7};
    const bool taken = scanRealPair(line, ',', fast[0], fast[1]);
    const int assigned = pair.scan(line, {T::real(scanned[0]), T::real(scanned[1])});
    if (taken) {
      ASSERT_EQ(assigned, 2) << testing::PrintToString(line);
      ASSERT_EQ(std::memcmp(fast, scanned, sizeof fast), 0) << testing::PrintToString(line);
    } else {
      ASSERT_TRUE(fast[0] == -7 && fast[1] == -7) << testing::PrintToString(line);
    }
  }
}

TEST(ClassicScan, TwelveFieldParcelLine) {
  std::string f[8];
  double d5 = 0, d6 = 0, d7 = 0;
  const int n = scanFormat("a 0001 c 林地 12.5 3.5 9 国有土地所有权 x y z w",
                           "%s %s %s %s %lf %lf %lf %s %s %s %s %s",
                           {T::text(f[0]), T::text(f[1]), T::text(f[2]), T::text(f[3]), T::real(d5), T::real(d6),
                            T::real(d7), T::text(f[4]), T::text(f[5]), T::text(f[6]), T::text(f[7])});
  EXPECT_EQ(n, 11);  // the twelfth conversion has no target and ends the scan
  EXPECT_EQ(f[1], "0001");
  EXPECT_EQ(f[3], "林地");
  EXPECT_DOUBLE_EQ(d7, 9);
  EXPECT_EQ(f[4], "国有土地所有权");
  EXPECT_EQ(f[7], "z");  // field 11; the twelfth, "w", is not read
}

TEST(ClassicScan, FloatTargetsAndTrailingFormatBlank) {
  float width = 0;
  std::string category, key, structure;
  EXPECT_EQ(scanFormat("A1 0.75", "%s %f", {T::text(category), T::real(width)}), 2);
  EXPECT_FLOAT_EQ(width, 0.75f);
  int32_t floors = 0;
  EXPECT_EQ(scanFormat("K1 砖 3 ", "%s %s %d ", {T::text(key), T::text(structure), T::integer(floors)}), 3);
  EXPECT_EQ(structure, "砖");
  EXPECT_EQ(floors, 3);
}

TEST(ClassicScan, NumbersAreDecimalOnly) {
  double d = 5;
  EXPECT_EQ(scanFormat("0x10", "%lf", {T::real(d)}), 1);
  EXPECT_DOUBLE_EQ(d, 0);  // "0", then "x10" is left over
  d = 5;
  EXPECT_EQ(scanFormat("inf", "%lf", {T::real(d)}), 0);
  EXPECT_EQ(scanFormat("nan", "%lf", {T::real(d)}), 0);
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(scanFormat(".5", "%lf", {T::real(d)}), 1);
  EXPECT_DOUBLE_EQ(d, 0.5);
  EXPECT_EQ(scanFormat("-7.", "%lf", {T::real(d)}), 1);
  EXPECT_DOUBLE_EQ(d, -7);
}

TEST(ClassicScanExponent, ALetterWithoutDigitsIsTakenWithTheNumber) {
  double a = 9, b = 9, c = 9;
  EXPECT_EQ(scanFormat("1e 2 3", "%lf %lf %lf", {T::real(a), T::real(b), T::real(c)}), 3);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(scanFormat("2E+ 4 5", "%lf %lf %lf", {T::real(a), T::real(b), T::real(c)}), 3);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 4);
  EXPECT_EQ(scanFormat("-3e- 6 7", "%lf %lf %lf", {T::real(a), T::real(b), T::real(c)}), 3);
  EXPECT_EQ(a, -3);
  EXPECT_EQ(c, 7);
  EXPECT_EQ(scanFormat("7.e+ 8 9", "%lf %lf %lf", {T::real(a), T::real(b), T::real(c)}), 3);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(c, 9);
}

TEST(ClassicScanExponent, FloatTargetsTakeTheLetterAlike) {
  float f = 9, g = 9;
  EXPECT_EQ(scanFormat("1e 2", "%f %f", {T::real(f), T::real(g)}), 2);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(g, 2.0f);
  EXPECT_EQ(scanFormat("-3E- 4", "%f %f", {T::real(f), T::real(g)}), 2);
  EXPECT_EQ(f, -3.0f);
  EXPECT_EQ(g, 4.0f);
}

TEST(ClassicScanExponent, TheNextFieldStartsAfterTheLetterAndSign) {
  // A point line whose north coordinate has a bare exponent: no later field shifts.
  char name[12] = {};
  double e = 0, n = 0, z = 0;
  int32_t a = 0, b = 0;
  EXPECT_EQ(scanFormat("P2 110 2e 3 4 5", "%s %lf %lf %lf %d %d",
                       {T::text(name, sizeof name), T::real(e), T::real(n), T::real(z), T::integer(a), T::integer(b)}),
            6);
  EXPECT_EQ(e, 110);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(z, 3);
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 5);
  // What follows the letter and sign at once is the next field's, and a
  // number cannot start with it.
  double x = 9, y = 9;
  EXPECT_EQ(scanFormat("1ex 2", "%lf %lf", {T::real(x), T::real(y)}), 1);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 9);
  std::string word;
  EXPECT_EQ(scanFormat("1e+x", "%lf%s", {T::real(x), T::text(word)}), 2);
  EXPECT_EQ(word, "x");
  // Digits make a whole exponent as before.
  EXPECT_EQ(scanFormat("2e3e 4", "%lf %lf", {T::real(x), T::real(y)}), 1);
  EXPECT_EQ(x, 2000);
}

TEST(ClassicScan, IntegerOverflowWrapsLikeTheClassicRuntime) {
  int32_t v = 0;
  EXPECT_EQ(scanFormat("4294967297", "%d", {T::integer(v)}), 1);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(scanFormat("-2147483648", "%d", {T::integer(v)}), 1);
  EXPECT_EQ(v, INT32_MIN);
}

TEST(ClassicScan, TextEndsAtItsFirstZeroByte) {
  std::string a = "a", b = "b";
  EXPECT_EQ(scanFormat(std::string("one\0two", 7), "%s %s", {T::text(a), T::text(b)}), 1);
  EXPECT_EQ(a, "one");
  EXPECT_EQ(b, "b");
}

TEST(ClassicScan, GbkTrailBytesAreNotWhiteSpace) {
  // GBK characters have no byte in the white-space set; a %s token takes the
  // whole character sequence.
  std::string a, b;
  EXPECT_EQ(scanFormat("砼结构 二层", "%s %s", {T::text(a), T::text(b)}), 2);
  EXPECT_EQ(a, "砼结构");
  EXPECT_EQ(b, "二层");
}

TEST(ClassicScan, WhiteSpaceIsTheClassicSixBytes) {
  for (int c = 0; c < 256; ++c) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    EXPECT_EQ(isClassicSpace(static_cast<char>(c)), blank) << c;
  }
}

// %s takes what lies between white space, whatever the bytes of the token
// (control bytes, high bytes) and wherever in a long line it ends.
TEST(ClassicScan, TokensEndAtWhiteSpaceOnly) {
  const char alphabet[] = "ab \t\v\f\r\x01\x1f!\x7f\x80\xff\xa3";
  test::Draw next(3);
  for (int trial = 0; trial < 50000; ++trial) {
    std::string line;
    for (uint32_t i = next(48); i > 0; --i) line += alphabet[next(sizeof alphabet - 1)];
    std::vector<std::string> expected;
    for (size_t i = 0; i < line.size();) {
      if (isClassicSpace(line[i])) {
        ++i;
        continue;
      }
      size_t end = i;
      while (end < line.size() && !isClassicSpace(line[end])) ++end;
      expected.push_back(line.substr(i, end - i));
      i = end;
    }
    std::string got[4];
    const int assigned = scanFormat(line, "%s%s %s %s", {T::text(got[0]), T::text(got[1]), T::text(got[2]),
                                                          T::text(got[3])});
    ASSERT_EQ(assigned, expected.empty() ? -1 : static_cast<int>(std::min<size_t>(expected.size(), 4)));
    for (size_t k = 0; k < expected.size() && k < 4; ++k) ASSERT_EQ(got[k], expected[k]) << trial << ": " << k;
    // Into fixed fields, cut to 23 bytes: every length a token can have there.
    char field[3][24];
    std::memset(field, 0x55, sizeof field);
    scanFormat(line, "%s %s %s", {T::text(field[0], 24), T::text(field[1], 24), T::text(field[2], 24)});
    for (size_t k = 0; k < expected.size() && k < 3; ++k)
      ASSERT_EQ(std::string(field[k]), expected[k].substr(0, 23)) << trial << ": " << k;
  }
}

// Fields taken one call at a time give what the format gives: the count
// (or -1), every target it reached, and the ones it did not left alone,
// over lines of numbers in every form, blanks, zero bytes and high bytes.
TEST(ClassicScanCursor, TakesTheFieldsAsTheFormatDoes) {
  const char alphabet[] = "0123456789+-.eE ab\t\r\x01\x80\xb0";
  const ScanFormat format("%s %lf %s %d %f %s");
  test::Draw next(11);
  for (int trial = 0; trial < 100000; ++trial) {
    std::string line;
    for (uint32_t i = next(40); i > 0; --i) line += alphabet[next(sizeof alphabet - 1)];
    if (next(16) == 0) line.insert(next(static_cast<uint32_t>(line.size()) + 1), 1, '\0');
    struct Fields {
      char a[6], b[24], c[3];
      double real = -7.5;
      int32_t integer = -9;
      float single = 2.5f;
    } byFormat, byCursor;
    for (Fields* f : {&byFormat, &byCursor}) {
      std::memset(f->a, 'x', sizeof f->a);
      std::memset(f->b, 'x', sizeof f->b);
      std::memset(f->c, 'x', sizeof f->c);
    }
    const int expected =
        format.scan(line, {T::text(byFormat.a, sizeof byFormat.a), T::real(byFormat.real),
                           T::text(byFormat.b, sizeof byFormat.b), T::integer(byFormat.integer),
                           T::real(byFormat.single), T::text(byFormat.c, sizeof byFormat.c)});
    ScanCursor c(line);
    static_cast<void>(c.text(byCursor.a) && c.real(byCursor.real) && c.text(byCursor.b) &&
                      c.integer(byCursor.integer) && c.real(byCursor.single) && c.text(byCursor.c));
    ASSERT_EQ(c.result(), expected) << trial;
    ASSERT_EQ(std::string(byCursor.a, sizeof byCursor.a), std::string(byFormat.a, sizeof byFormat.a)) << trial;
    ASSERT_EQ(std::string(byCursor.b, sizeof byCursor.b), std::string(byFormat.b, sizeof byFormat.b)) << trial;
    ASSERT_EQ(std::string(byCursor.c, sizeof byCursor.c), std::string(byFormat.c, sizeof byFormat.c)) << trial;
    ASSERT_TRUE(std::memcmp(&byCursor.real, &byFormat.real, sizeof byFormat.real) == 0) << trial;
    ASSERT_EQ(byCursor.integer, byFormat.integer) << trial;
    // The length a text kept is the length of what it holds.
    char kept[2][6];
    uint8_t length[2] = {99, 99};
    ScanCursor lengths(line);
    const bool both = lengths.text(kept[0], length[0]) && lengths.text(kept[1], length[1]);
    for (int k = 0; k < 2; ++k) {
      if (k == 0 ? lengths.result() > 0 : both) {
        ASSERT_EQ(length[k], std::strlen(kept[k])) << trial;
      } else {
        ASSERT_EQ(length[k], 99) << trial;
      }
    }
    ASSERT_TRUE(std::memcmp(&byCursor.single, &byFormat.single, sizeof byFormat.single) == 0) << trial;
  }
  // Fields counted and kept nowhere count as the format's unused texts do.
  ScanCursor blank(" \t ");
  EXPECT_FALSE(blank.skipText());
  EXPECT_EQ(blank.result(), -1);
  ScanCursor two("one two");
  EXPECT_TRUE(two.skipText() && two.skipText());
  EXPECT_FALSE(two.skipText());
  EXPECT_EQ(two.result(), 2);
  char untouched = 'u';
  ScanCursor noRoom("ab cd");
  EXPECT_TRUE(noRoom.text(&untouched, 0));
  EXPECT_EQ(untouched, 'u');
  EXPECT_EQ(noRoom.result(), 1);
  int32_t unset = 5;
  ScanCursor word("word");
  EXPECT_FALSE(word.integer(unset));
  EXPECT_EQ(word.result(), 0);
  EXPECT_EQ(unset, 5);
}

TEST(ClassicAtof, ConvertsAsFarAsTheNumberGoes) {
  EXPECT_DOUBLE_EQ(classicAtof("  12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(classicAtof("1e3"), 1000);
  EXPECT_DOUBLE_EQ(classicAtof("1e"), 1);
  EXPECT_DOUBLE_EQ(classicAtof("2E+"), 2);
  EXPECT_DOUBLE_EQ(classicAtof("-3e- 5"), -3);
  EXPECT_DOUBLE_EQ(classicAtof("1.5e+x"), 1.5);
  EXPECT_DOUBLE_EQ(classicAtof("-2.5e-1x"), -0.25);
  EXPECT_DOUBLE_EQ(classicAtof("x1"), 0);
  EXPECT_DOUBLE_EQ(classicAtof(""), 0);
  EXPECT_DOUBLE_EQ(classicAtof("0x1p3"), 0);
  EXPECT_DOUBLE_EQ(classicAtof("infinity"), 0);
  EXPECT_DOUBLE_EQ(classicAtof("  +3"), 3);
  EXPECT_EQ(classicAtof("0.1"), 0.1);  // correctly rounded
}

// The classic runtime's real, written out plainly: its length at the start
// of `s` (sign, digits with an optional point, at least one digit, then an
// exponent letter with an optional sign and any digits), and its value as
// strtod gives it (correctly rounded; a range error gives 0 or infinity).
size_t referenceRealLength(const std::string& s) {
  size_t j = 0, digits = 0;
  auto digit = [&s](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  while (digit(j)) ++j, ++digits;
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (digit(j)) ++j, ++digits;
  }
  if (digits == 0) return 0;
  if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
    ++j;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    while (digit(j)) ++j;
  }
  return j;
}

// atof and the scan's %lf take the classic runtime's number, bit for bit,
// atof tells a whole number as isClassicReal does, and the scan goes on after it, on random texts of digits, points,
// exponent letters, signs, blanks and the letters of "inf" and "nan", with
// exponents beyond the range now and then.
TEST(ClassicAtof, TakesTheNumberTheClassicRuntimeTakes) {
  const char alphabet[] = "0123456789..eE+-- xinfa";
  test::Draw next(20261208);
  for (int trial = 0; trial < 100000; ++trial) {
    std::string text;
    for (uint32_t i = next(12); i > 0; --i) text += alphabet[next(sizeof alphabet - 1)];
    if (next(10) == 0) text += next(2) ? "e999" : "e-999";
    const size_t blanks = std::min(text.find_first_not_of(' '), text.size());
    const size_t length = referenceRealLength(text.substr(blanks));
    const double expected = length == 0 ? 0.0 : std::strtod(text.substr(blanks, length).c_str(), nullptr);
    const double got = classicAtof(text);
    ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << "\"" << text << "\": " << got << " for " << expected;
    bool whole = false;
    const double again = classicAtof(text, whole);
    ASSERT_EQ(std::memcmp(&again, &expected, sizeof got), 0) << "\"" << text << "\"";
    ASSERT_EQ(whole, isClassicReal(text)) << "\"" << text << "\"";
    double scanned = 0;
    std::string rest;
    const int assigned = scanFormat(text + "|", "%lf%s", {ScanTarget::real(scanned), ScanTarget::text(rest)});
    if (length == 0) {
      ASSERT_EQ(assigned, 0) << "\"" << text << "\"";
      continue;
    }
    ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof got), 0) << "\"" << text << "\": " << scanned << " for " << expected;
    std::string after = text.substr(blanks + length) + "|";
    after.erase(0, after.find_first_not_of(' '));
    ASSERT_EQ(rest, after.substr(0, after.find(' '))) << "\"" << text << "\"";
  }
}

// Coordinates as surveys write them, up to eighteen digits with the point
// anywhere, convert bit for bit as strtod does: the short ones take a quicker
// way than the long ones, and both must round alike.
TEST(ClassicAtof, SurveyDecimalsRoundAsStrtodRoundsThem) {
  test::Draw next(7);
  for (int trial = 0; trial < 200000; ++trial) {
    std::string text = next(4) == 0 ? "-" : "";
    const uint32_t digits = 1 + next(18);
    const uint32_t point = next(digits + 1);
    for (uint32_t i = 0; i < digits; ++i) {
      if (i == point && next(2)) text += '.';
      text += static_cast<char>('0' + (next(3) == 0 ? 9 : next(10)));
    }
    const double expected = std::strtod(text.c_str(), nullptr);
    const double got = classicAtof(text);
    ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text;
    double scanned = 0;
    int32_t after = 0;
    ASSERT_EQ(scanFormat(text + " 5", "%lf %d", {ScanTarget::real(scanned), ScanTarget::integer(after)}), 2) << text;
    ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof got), 0) << text;
  }
}

// A run of digits of any length the quick way takes, in the integer or the
// fraction, ends at whatever byte follows it (those next to '0' and '9', the
// high ones of GBK text, a zero) and keeps its value.
TEST(ClassicAtof, ARunOfDigitsEndsAtEveryByteThatIsNotADigit) {
  test::Draw next(11);
  for (int follower = 0; follower < 256; ++follower) {
    const char end = static_cast<char>(follower);
    if (end >= '0' && end <= '9') continue;
    for (uint32_t run = 1; run <= 15; ++run) {
      std::string digits;
      for (uint32_t i = 0; i < run; ++i) digits += static_cast<char>('0' + next(10));
      const bool fraction = next(2) == 1;
      const std::string number = fraction ? "7." + digits.substr(1) : digits;
      const std::string text = number + end + "123456789";
      // What follows the number is not part of it unless it continues it.
      const bool continues = end == '.' || end == 'e' || end == 'E';
      if (continues) continue;
      const double expected = std::strtod(number.c_str(), nullptr);
      const double got = classicAtof(text);
      ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << number << " then byte " << follower;
      double scanned = 0;
      char rest[32] = {};
      const int assigned = scanFormat(text, "%lf%s", {ScanTarget::real(scanned), ScanTarget::text(rest, sizeof rest)});
      ASSERT_GE(assigned, 1) << number << " then byte " << follower;
      ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof got), 0) << number << " then byte " << follower;
    }
  }
}

TEST(ClassicAtoi, ReadsLeadingDigitsOnly) {
  EXPECT_EQ(classicAtoi("12a"), 12);
  EXPECT_EQ(classicAtoi(" -7 "), -7);
  EXPECT_EQ(classicAtoi("3.9"), 3);
  EXPECT_EQ(classicAtoi("砖"), 0);
  EXPECT_EQ(classicAtoi("+"), 0);
  EXPECT_EQ(classicAtoi("70000"), 70000);
}

// Whether a field is a number as a whole decides the warnings of the point
// import: what atof would read in part is not one.
TEST(ClassicWholeNumber, ARealIsOneNumberAndBlanksAroundIt) {
  for (const char* yes : {"12.5", " -0.000", "1e3\t", "+7", ".5", "2E+", "0\r"}) EXPECT_TRUE(isClassicReal(yes)) << yes;
  for (const char* no : {"", " ", "12.5m", "E", "KZD", "1,5", "1 2", "0x10", "\xa3\xb1", "nan"})
    EXPECT_FALSE(isClassicReal(no)) << no;
}

TEST(ClassicWholeNumber, AnIntegerHasNoPointNorExponent) {
  for (const char* yes : {"2001", " -3 ", "+0"}) EXPECT_TRUE(isClassicInteger(yes)) << yes;
  for (const char* no : {"", "12.5", "1e3", "KZD", "3a", "-"}) EXPECT_FALSE(isClassicInteger(no)) << no;
}

}  // namespace
}  // namespace dz
