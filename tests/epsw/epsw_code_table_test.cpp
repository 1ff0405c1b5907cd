#include "epsw/epsw_code_table.h"

#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

using EpswCodeLookup = EpswTest;

TEST_F(EpswCodeLookup, FirstLineForACodeWinsAndUnknownCodesGiveZero) {
  writeTable("7 70 a\n7 71 b\n8 80 c\n");
  int kind = -9, count = -9;
  EXPECT_EQ(converter.LookupEpswCode("7 3 1 $x", kind, count), 70);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(converter.LookupEpswCode("9 3 1 $x", kind, count), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EpswCodeLookup, UnparsedTableLinesCarryTheNumbersBeforeThem) {
  // "junk" comes before any code and maps nothing; "8" takes 70 from the line
  // before; the blank line repeats 8 -> 70 and does not hide "9 90".
  writeTable("junk\n0 5 zero\n7 70 a\n8\n\n9 90 c\n");
  int kind = 0, count = 0;
  EXPECT_EQ(converter.LookupEpswCode("0 1 0 $a", kind, count), 5);
  EXPECT_EQ(converter.LookupEpswCode("8 1 0 $a", kind, count), 70);
  EXPECT_EQ(converter.LookupEpswCode("9 1 0 $a", kind, count), 90);
  // A feature line without a code looks up code 0.
  EXPECT_EQ(converter.LookupEpswCode("$a", kind, count), 5);
}

TEST_F(EpswCodeLookup, MissingTableGivesMinusOneAfterAMessageButTheLineIsStillRead) {
  int kind = 5, count = 6;
  EXPECT_EQ(converter.LookupEpswCode("7 4 2 $x", kind, count), -1);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(kind, 2);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], "can't find EPSWconvert.txt failed!!");
  // Fields the line lacks keep what the arguments held.
  EXPECT_EQ(converter.LookupEpswCode("7 9 $x", kind, count), -1);
  EXPECT_EQ(count, 9);
  EXPECT_EQ(kind, 2);
}

TEST_F(EpswCodeLookup, OutsideARunEveryLookupReadsTheTableAfresh) {
  writeTable("7 70 a\n");
  int kind = 0, count = 0;
  EXPECT_EQ(converter.LookupEpswCode("7 1 0 $a", kind, count), 70);
  writeTable("7 71 a\n");
  EXPECT_EQ(converter.LookupEpswCode("7 1 0 $a", kind, count), 71);
}

// A host that changes the code table whenever a feature is written, to see
// when the converter reads it.
class TableChangingHost : public RecordingHost {
 public:
  TableChangingHost(TempDir& dir, std::string next) : RecordingHost(dir.path()), dir_(dir), next_(std::move(next)) {}
  int AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count, const void* attributes,
                 int length) override {
    dir_.write("EPSWconvert.txt", next_);
    return RecordingHost::AddFeature(file, header, refs, count, attributes, length);
  }

 private:
  TempDir& dir_;
  std::string next_;
};

TEST_F(EpswCodeLookup, WithinARunATableIsReadOnceAndAMissingOneIsRetried) {
  const std::string cor = "1 1 0 $a\nP1 1 1 0\n1 1 0 $b\nP2 2 2 0\n1 1 0 $c\nP3 3 3 0\n";
  {
    // Read at the first feature line; later changes do not count.
    writeTable("1 10 a\n");
    TableChangingHost changing(dir, "1 11 a\n");
    CEpswConverter run(changing, messages);
    run.m_bConvertNot = 0;
    run.m_strCorPath = dir.write("in.cor", cor);
    run.m_strOutputPath = out;
    ASSERT_TRUE(run.OnOK());
    const FeatureStore store = committed();
    ASSERT_EQ(store.features().size(), 3u);
    for (const StoredFeature& f : store.features()) EXPECT_EQ(+f.header.code, 10);
  }
  {
    // Missing at the first feature line, there from the second on.
    std::remove(dir.file("EPSWconvert.txt").c_str());
    std::remove(out.c_str());
    messages.shown.clear();
    TableChangingHost appearing(dir, "1 12 a\n");
    CEpswConverter run(appearing, messages);
    run.m_bConvertNot = 0;
    run.m_strCorPath = dir.file("in.cor");
    run.m_strOutputPath = out;
    ASSERT_TRUE(run.OnOK());
    const FeatureStore store = committed();
    ASSERT_EQ(store.features().size(), 3u);
    EXPECT_EQ(+store.features()[0].header.code, -1);
    EXPECT_EQ(+store.features()[1].header.code, 12);
    EXPECT_EQ(+store.features()[2].header.code, 12);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"can't find EPSWconvert.txt failed!!", "数据转换完毕！！！"}));
  }
}

TEST(EpswCodeTableIndex, AnswersAsAScanFromTheTop) {
  TempDir dir;
  EpswCodeTable table;
  EXPECT_FALSE(table.load(dir.file("absent.txt")));
  ASSERT_TRUE(table.load(dir.write("t.txt", "3 30 x\r\n-4 -40 y\r\n3 31 z\r\n2147483648 5 w\r\n")));
  EXPECT_EQ(table.find(3), 30);
  EXPECT_EQ(table.find(-4), -40);
  EXPECT_EQ(table.find(INT32_MIN), 5);  // wraps as the classic runtime does
  EXPECT_EQ(table.find(4), 0);
}

}  // namespace
}  // namespace dz::test
