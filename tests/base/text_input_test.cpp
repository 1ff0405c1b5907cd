#include "base/text_input.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace dz {
namespace {

using Lines = std::vector<std::string>;

struct Read {
  Lines lines;
  std::vector<long> numbers;  // lineNumber() after each line
};

Read readAll(const std::string& path, int skip = 0) {
  InputLineReader reader;
  EXPECT_TRUE(reader.open(path));
  for (int i = 0; i < skip; ++i) reader.skipLine();
  Read r;
  std::string line;
  while (reader.readLine(line)) {
    r.lines.push_back(line);
    r.numbers.push_back(reader.lineNumber());
  }
  return r;
}

const char kUtf8File[] =
    "\xEF\xBB\xBF\xE7\x82\xB9\xE5\x90\x8D,E\r\n"  // BOM 点名,E
    "\xE6\x8E\xA7\x31,1\r\n"                      // 控1,1
    "X\xF0\x9F\x98\x80,2\r\n"                     // X😀,2
    "K2,3\r\n";

class InputLines : public ::testing::Test {
 protected:
  test::TempDir dir;
};

TEST_F(InputLines, WithoutARunTheyAreTheLineReadersLines) {
  const std::string path = dir.write("in.txt", kUtf8File);
  const Read r = readAll(path);
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[0], "\xEF\xBB\xBF\xE7\x82\xB9\xE5\x90\x8D,E");
  EXPECT_EQ(r.lines[2], "X\xF0\x9F\x98\x80,2");
}

TEST_F(InputLines, ReadAsGbkTheyAreUntouchedAndTheFileIsReported) {
  const std::string path = dir.write("in.txt", kUtf8File);
  TextInputRun run(TextEncoding::Gbk);
  const Read r = readAll(path);
  EXPECT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[0].substr(0, 3), std::string(kUtf8Bom));
  ASSERT_EQ(run.files().size(), 1u);
  const InputFileReport& f = run.files()[0];
  EXPECT_EQ(f.path, path);
  EXPECT_TRUE(f.byteOrderMark);
  EXPECT_TRUE(f.evidence.looksLikeUtf8());
  EXPECT_EQ(f.lines, 4);
  EXPECT_EQ(f.refused.count, 0);
}

TEST_F(InputLines, ReadAsGbkEveryLineIsEvidenceWhereverItLies) {
  // ASCII lines fill the first block of the reader (64 KiB) and more; the
  // line that tells lies in the second block, or across the two.
  const std::string ascii = [] {
    std::string lines;
    while (lines.size() < 70000) lines += "123.456,789.012\n";
    return lines;
  }();
  const std::string utf8Line = "\xE6\x8E\xA7\x31,1\n";  // 控1,1
  const std::string gbkLine = "\xBF\xD8\x31,1\n";       // 控1,1 in GBK: not UTF-8
  struct Case {
    std::string bytes;
    bool utf8;
  };
  const Case cases[] = {
      {ascii + utf8Line, true},
      {ascii.substr(0, 65534) + utf8Line, true},  // its character cut by the block's end
      {ascii.substr(0, 65530) + "xxxxxx" + utf8Line, true},  // begun in an ASCII block
      {ascii + utf8Line + gbkLine, false},
      {ascii + gbkLine + ascii + utf8Line, false},
      {ascii + ascii, false},
  };
  for (const Case& c : cases) {
    TextInputRun run(TextEncoding::Gbk);
    readAll(dir.write("in.txt", c.bytes));
    ASSERT_EQ(run.files().size(), 1u);
    EXPECT_EQ(run.files()[0].evidence.looksLikeUtf8(), c.utf8) << c.bytes.size() << " bytes";
  }
}

TEST_F(InputLines, ReadAsUtf8TheyAreGbkWithoutTheMarkAndARefusedLineKeepsItsNumber) {
  const std::string path = dir.write("in.txt", kUtf8File);
  TextInputRun run(TextEncoding::Utf8);
  const Read r = readAll(path);
  EXPECT_EQ(r.lines, (Lines{"点名,E", "控1,1", "K2,3"}));
  EXPECT_EQ(r.numbers, (std::vector<long>{1, 2, 4}));
  const InputFileReport& f = run.files()[0];
  EXPECT_TRUE(f.byteOrderMark);
  EXPECT_EQ(f.refused.count, 1);
  ASSERT_EQ(f.firstRefused.size(), 1u);
  EXPECT_EQ(f.firstRefused[0].line, 3);
  EXPECT_EQ(f.firstRefused[0].refusal.codePoint, 0x1F600);
}

TEST_F(InputLines, ASkippedLineIsNeitherDecodedNorRefused) {
  const std::string path = dir.write("in.txt", "\xF0\x9F\x98\x80 header\nP1,1\n");
  TextInputRun run(TextEncoding::Utf8);
  const Read r = readAll(path, 1);
  EXPECT_EQ(r.lines, Lines{"P1,1"});
  EXPECT_EQ(r.numbers, std::vector<long>{2});
  EXPECT_EQ(run.files()[0].refused.count, 0);
}

TEST_F(InputLines, TheBytesReadComeToTheFileAndAreReportedAsTheyGrow) {
  std::string big;
  for (int i = 0; i < 20000; ++i) big += "P" + std::to_string(i) + ",1.5,2.5,3.5\r\n";
  const std::string path = dir.write("big.txt", big);
  TextInputRun run(TextEncoding::Gbk);
  std::vector<uint64_t> told;
  run.onProgress([&told](uint64_t bytes) { told.push_back(bytes); });
  readAll(path);
  EXPECT_EQ(run.bytesRead(), big.size());
  ASSERT_GE(told.size(), 3u);  // a few times on the way (every 64 KiB) and at the end
  EXPECT_EQ(told.back(), big.size());
  for (size_t i = 1; i < told.size(); ++i) EXPECT_LE(told[i - 1], told[i]);
}

TEST_F(InputLines, AFileOpenedAgainIsReportedAfresh) {
  const std::string path = dir.write("in.txt", "\xE6\x8E\xA7\n");
  TextInputRun run(TextEncoding::Gbk);
  readAll(path);
  readAll(path);
  ASSERT_EQ(run.files().size(), 1u);
  EXPECT_EQ(run.files()[0].lines, 1);
  EXPECT_EQ(TextInputRun::current(), &run);
}

TEST_F(InputLines, RunsDoNotNest) {
  TextInputRun run(TextEncoding::Gbk);
  EXPECT_THROW(TextInputRun(TextEncoding::Utf8), std::logic_error);
  EXPECT_EQ(TextInputRun::current(), &run);
}

}  // namespace
}  // namespace dz
