#include "base/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace dz {
namespace {

// What a progress drew on a stream of its own.
class Drawn : public ::testing::Test {
 protected:
  Drawn() : stream(std::tmpfile()) {}
  ~Drawn() override { std::fclose(stream); }

  std::string text() {
    std::fflush(stream);
    std::rewind(stream);
    std::string all;
    for (int c; (c = std::fgetc(stream)) != EOF;) all.push_back(static_cast<char>(c));
    return all;
  }

  std::FILE* stream;
};

TEST_F(Drawn, DotsForEveryTwoAndAHalfPercentAndTheTensAsNumbers) {
  TerminalProgress progress(stream, true, std::chrono::milliseconds(0));
  progress.update(0);
  EXPECT_EQ(text(), "0");
  progress.update(0.26);
  progress.update(0.2);  // never backwards
  EXPECT_EQ(text(), "0...10...20..");
  progress.update(1.7);
  progress.finish();
  EXPECT_EQ(text(), "0...10...20...30...40...50...60...70...80...90...100 - done.\n");
}

TEST_F(Drawn, NothingWhenNotShownOrWhenTheRunEndsBeforeTheDelay) {
  {
    TerminalProgress hidden(stream, false, std::chrono::milliseconds(0));
    hidden.update(0.5);
    hidden.finish();
  }
  {
    TerminalProgress quick(stream, true, std::chrono::hours(1));
    quick.update(0.5);
    quick.update(1);
    quick.finish();
  }
  EXPECT_EQ(text(), "");
}

TEST_F(Drawn, AFileIsNoTerminal) { EXPECT_FALSE(TerminalProgress::isTerminal(stream)); }

TEST_F(Drawn, AnotherTextBreaksTheLineAndTheDrawingGoesOnFromItsTens) {
  TerminalProgress progress(stream, true, std::chrono::milliseconds(0));
  progress.update(0.3);
  TerminalProgress::breakLine();
  std::fputs("message\n", stream);
  TerminalProgress::breakLine();  // nothing drawn since: no empty line
  progress.update(0.5);
  progress.finish();
  EXPECT_EQ(text(), "0...10...20...30\nmessage\n30...40...50...60...70...80...90...100 - done.\n");
}

}  // namespace
}  // namespace dz
