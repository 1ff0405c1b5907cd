// What a run records of how it ended, beside the messages it tells: the facts
// a caller decides on without reading message texts.
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassOutcome : public CassFixture {
 protected:
  const std::string kParcel = "LINE\n301000,P0\n1.0,1.0\n2.0,2.0\nnil\n";
  const std::string kQs = "P0\n2\n5.0\nP1\n100.0\n200.0\nP2\n110.0\n210.0\nE\n";
  const std::string kParcels = "1 P0 a b 1.5 2.5 3.5 c 国有土地所有权 d e\n";

  // The outcome of the last run in one line, and how many messages it told.
  std::string outcome() const {
    const CCassConverter::Outcome& o = converter->LastOutcome();
    return std::string(o.casOpened ? "cas " : "") + (o.outputOpened ? "output " : "") +
           (o.committed ? "committed " : "") + "| table " + std::to_string(o.codeTableMissing) + ", qs " +
           std::to_string(o.qsMissing) + ", parcels " + std::to_string(o.parcelFileMissing) + " | told " +
           std::to_string(messages.shown.size());
  }
  void removeInput(const char* name) { std::remove(dir.file(name).c_str()); }
};

TEST_F(CassOutcome, OpenedAndCommittedOnlyAsFarAsTheRunGot) {
  convert(kParcel + "LINE\n123,a\n1.5,2.5\nnil\n", kQs, kParcels);
  EXPECT_EQ(outcome(), "cas output committed | table 0, qs 0, parcels 0 | told 0");

  messages.shown.clear();
  dir.write("out.qel", "not a feature file");
  keepOutput = true;
  convert("LINE\n123,a\n1.5,2.5\nnil\n");
  EXPECT_EQ(outcome(), "cas | table 0, qs 0, parcels 0 | told 1");

  messages.shown.clear();
  RecordingHost recorder(dir.path());
  converter = std::make_unique<CCassConverter>(recorder, messages);
  converter->m_strCasPath = dir.file("missing.cas");
  converter->Run();
  EXPECT_EQ(outcome(), "| table 0, qs 0, parcels 0 | told 1");
}

TEST_F(CassOutcome, EachMissingSideFileIsCountedAsOftenAsItIsTold) {
  convert(kParcel + "LINE\n301000,P1\n1.0,1.0\nnil\n", "", kParcels);
  EXPECT_EQ(outcome(), "cas output committed | table 0, qs 2, parcels 0 | told 2");

  messages.shown.clear();
  removeInput("in.txt");
  convert(kParcel, kQs);
  EXPECT_EQ(outcome(), "cas output committed | table 0, qs 0, parcels 1 | told 1");

  messages.shown.clear();
  removeInput("CASSCode.txt");
  convert("LINE\n123,a\n1.5,2.5\n456,b\n3.5,4.5\nnil\n");
  EXPECT_EQ(outcome(), "cas output committed | table 2, qs 0, parcels 0 | told 2");
}

}  // namespace
}  // namespace dz::test
