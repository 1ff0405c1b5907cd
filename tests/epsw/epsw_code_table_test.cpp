#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

using EpswCodeLookup = EpswTest;

TEST_F(EpswCodeLookup, FirstMatchingLineCountsAndUnparsedLinesCarryTheNumbersAbove) {
  // "junk" precedes every code and maps nothing; "8" takes 71 from the line
  // above; the blank line repeats 8 -> 71 and hides nothing below it.
  writeTable("junk\n0 5 zero\n7 70 a\n7 71 b\n8\n\n9 90 c\n");
  int kind = -9, count = -9;
  EXPECT_EQ(converter.LookupEpswCode("7 3 1 $x", kind, count), 70);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(converter.LookupEpswCode("8 1 0 $a", kind, count), 71);
  EXPECT_EQ(converter.LookupEpswCode("9 1 0 $a", kind, count), 90);
  EXPECT_EQ(converter.LookupEpswCode("$a", kind, count), 5);  // no code: 0
  EXPECT_EQ(converter.LookupEpswCode("6 1 0 $a", kind, count), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EpswCodeLookup, MissingTableGivesMinusOneAfterAMessageButTheLineIsStillRead) {
  int kind = 5, count = 6;
  EXPECT_EQ(converter.LookupEpswCode("7 9 $x", kind, count), -1);
  EXPECT_EQ(count, 9);
  EXPECT_EQ(kind, 5);  // the line lacks it
  EXPECT_EQ(messages.shown, Names{"can't find EPSWconvert.txt failed!!"});
}

}  // namespace
}  // namespace dz::test
