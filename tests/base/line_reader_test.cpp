#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/draw.h"
#include "tests/support/injected_fault.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

std::vector<std::string> readAll(const std::string& bytes) {
  test::TempDir dir;
  const std::string path = dir.write("in.txt", bytes);
  LineReader reader;
  EXPECT_TRUE(reader.open(path));
  std::vector<std::string> lines;
  std::string line;
  while (reader.readLine(line)) lines.push_back(line);
  EXPECT_EQ(reader.lineNumber(), static_cast<long>(lines.size()));
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, CrLfAndLfBothEndALine) {
  EXPECT_EQ(readAll("a\r\nb\nc"), (Lines{"a", "b", "c"}));
}

TEST(LineReader, FinalLineEndAddsNoEmptyLine) {
  EXPECT_EQ(readAll("a\n"), (Lines{"a"}));
  EXPECT_EQ(readAll("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(readAll(""), Lines{});
}

TEST(LineReader, LoneCarriageReturnStaysInTheLine) {
  EXPECT_EQ(readAll("a\rb\r\r\nc\r"), (Lines{"a\rb\r", "c\r"}));
}

TEST(LineReader, CtrlZEndsTheFile) {
  EXPECT_EQ(readAll("a\nb\x1a\nc\n"), (Lines{"a", "b"}));
}

TEST(LineReader, LineIsCutAtItsFirstZeroByte) {
  EXPECT_EQ(readAll(std::string("ab\0cd\nef", 8)), (Lines{"ab", "ef"}));
}

TEST(LineReader, LinesLongerThanTheBlockAndCrLfAcrossBlocks) {
  // 65535 bytes then CR LF: the CR is the last byte of the first block.
  const std::string longLine(65535, 'x');
  EXPECT_EQ(readAll(longLine + "\r\nnext"), (Lines{longLine, "next"}));
  const std::string huge(200000, 'y');
  EXPECT_EQ(readAll(huge), (Lines{huge}));
}

// The lines of `bytes` by the rules of text mode, written out plainly.
Lines textModeLines(std::string bytes) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  Lines lines;
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t nl = bytes.find('\n', pos);
    std::string line = bytes.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    if (nl != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.substr(0, line.find('\0')));
    pos = nl == std::string::npos ? bytes.size() : nl + 1;
  }
  return lines;
}

TEST(LineReader, ViewsAndCopiesAgreeWithTextModeOnRandomFiles) {
  // Short lines whole in a block, lines across blocks, CR LF split by a
  // block's end, zero bytes and bytes above ASCII in some blocks and not
  // others: views (most of them into the block) and copies, taken in turn
  // from one reader.
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    test::Draw next(seed);
    std::string bytes;
    const size_t size = 150000 + next(100000);
    while (bytes.size() < size) {
      const uint32_t r = next(1000);
      if (r < 120) bytes += '\n';
      else if (r < 160) bytes += "\r\n";
      else if (r < 170) bytes += '\r';
      else if (r < 172 && seed % 3 == 0) bytes += '\0';
      else if (r < 173 && seed == 7 && bytes.size() > 100000) bytes += '\x1a';
      else if (r < 175) bytes += std::string(next(90000), 'L');
      else if (r < 177 && seed % 2 == 0) bytes += '\xC3';
      else bytes += static_cast<char>('a' + next(26));
    }
    test::TempDir dir;
    LineReader reader;
    ASSERT_TRUE(reader.open(dir.write("in.txt", bytes)));
    Lines lines;
    for (bool asView = true;; asView = !asView) {
      std::string_view view;
      std::string copy;
      if (!(asView ? reader.readLine(view) : reader.readLine(copy))) break;
      lines.push_back(asView ? std::string(view) : copy);
      // A line said to be ASCII is.
      if (reader.lineKnownAscii()) {
        EXPECT_EQ(lines.back().find('\xC3'), std::string::npos) << "seed " << seed << ", line " << lines.size();
      }
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(lines, textModeLines(bytes)) << "seed " << seed;
    EXPECT_EQ(reader.lineNumber(), static_cast<long>(lines.size()));
  }
}

TEST(LineReader, MissingFileDoesNotOpen) {
  LineReader reader;
  EXPECT_FALSE(reader.open("/nonexistent/dir/file.txt"));
  EXPECT_FALSE(reader.open(""));
  std::string line;
  EXPECT_FALSE(reader.readLine(line));
}

// A folder given for a file would otherwise read as an empty file, and a
// conversion of "nothing" would report success.
TEST(LineReader, ADirectoryDoesNotOpen) {
  test::TempDir dir;
  LineReader reader;
  EXPECT_FALSE(reader.open(dir.path()));
  EXPECT_FALSE(reader.isOpen());
}

TEST(LineReader, AReadErrorIsNotTheEndOfTheFile) {
  test::TempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\n";
  const std::string path = dir.write("in.txt", text);
  {
    test::InjectedFileFault fault("read@100000");  // in the second block
    LineReader reader;
    ASSERT_TRUE(reader.open(path));
    std::string line;
    long lines = 0;
    while (reader.readLine(line)) ++lines;
    EXPECT_TRUE(reader.failed());
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 20000);
    EXPECT_FALSE(reader.readLine(line));  // and stays failed
  }
  LineReader reader;
  ASSERT_TRUE(reader.open(path));
  std::string line;
  while (reader.readLine(line)) {
  }
  EXPECT_FALSE(reader.failed());
  EXPECT_EQ(reader.lineNumber(), 20000);
}

}  // namespace
}  // namespace dz
