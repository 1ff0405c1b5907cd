// What a press of the button records of how it ended, beside the messages it
// tells: the facts a caller decides on without reading message texts.
#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

class EpswOutcome : public EpswTest {
 protected:
  void SetUp() override { writeTable("1 100 line\n"); }

  // The outcome of the last press in one line.
  std::string outcome() const {
    const CEpswConverter::Outcome& o = converter.LastOutcome();
    std::string s;
    for (const auto& [fact, name] : {std::pair{o.settingsAccepted, "settings"}, {o.corMissing, "cor-missing"},
                                     {o.outputOpened, "output"}, {o.notMissing, "not-missing"},
                                     {o.committed, "committed"}, {o.completed, "completed"}})
      if (fact) s += std::string(name) + " ";
    return s + "| table " + std::to_string(o.codeTableMissing) + ", far " + std::to_string(o.farConverted) + "+" +
           std::to_string(o.farDropped);
  }
};

TEST_F(EpswOutcome, EachPressRecordsHowFarItGot) {
  const std::string cor = "1 1 0 $a\nP1 1 2 3\n";
  EXPECT_TRUE(convert(cor, ""));
  EXPECT_EQ(outcome(), "settings output committed completed | table 0, far 0+0");

  converter.m_strOutputPath = "";
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(outcome(), "| table 0, far 0+0");

  converter.m_strOutputPath = out;
  converter.m_strCorPath = dir.file("absent.cor");
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(outcome(), "settings cor-missing | table 0, far 0+0");

  converter.m_strOutputPath = dir.write("broken.qel", "not a feature file");
  converter.m_strCorPath = dir.write("in.cor", cor);
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(outcome(), "settings | table 0, far 0+0");

  converter.m_strOutputPath = out;
  converter.m_strNotPath = dir.file("absent.not");
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(outcome(), "settings output not-missing committed | table 0, far 0+0");
}

TEST_F(EpswOutcome, MissingCodeTableAndFarAnswersAreCounted) {
  std::remove(dir.file("EPSWconvert.txt").c_str());
  messages.answers = {ui::kIdNo, ui::kIdYes, ui::kIdNo};
  EXPECT_TRUE(convert("1 1 0 $a\nF1 200000000 1 0\n1 1 0 $b\nF2 1 -200000000 0\n", "1 x\n200000000 0 0 0 1\nc 1\n"));
  EXPECT_EQ(outcome(), "settings output committed completed | table 2, far 1+2");
  // The next press starts afresh.
  writeTable("1 100 line\n");
  EXPECT_TRUE(convert("", ""));
  EXPECT_EQ(outcome(), "settings output committed completed | table 0, far 0+0");
}

}  // namespace
}  // namespace dz::test
