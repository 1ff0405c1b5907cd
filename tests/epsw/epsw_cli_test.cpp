#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

const std::string kSamples = DZ_SAMPLES_DIR;
const std::string kCor = kSamples + "/epsw/sample.cor";
const std::string kNot = kSamples + "/epsw/sample.not";
const std::string kHostDir = kSamples + "/host";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class EpswCli : public ::testing::Test {
 protected:
  CommandResult epsw(std::vector<std::string> args) {
    args.insert(args.begin(), "epsw");
    return runCommand(DOBRENZ_EXE, args);
  }
  std::string dump() { return runCommand(DOBRENZ_EXE, {"dump", out}).out; }

  TempDir dir;
  std::string out = dir.file("out.qel");
};

TEST_F(EpswCli, ConvertsTheSamples) {
  const CommandResult r = epsw({"--cor", kCor, "--not", kNot, "--out", out, "--host-dir", kHostDir});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(contains(r.err, u8"数据转换完毕！！！")) << r.err;
  EXPECT_TRUE(contains(r.out, "11 points, 6 features and 2 texts")) << r.out;
  const std::string json = dump();
  EXPECT_TRUE(contains(json, R"("name": "T1", "raw_name": "543100000000000000000000", "w12": 0, "w14": 0, "w16": 0, )"
                             R"("code": 0, "north": 3100300, "east": 500190)")) << json;
  EXPECT_TRUE(contains(json, R"("code": 8201, "refs": [{"name": "T1", "kind": 3}, {"name": "C2", "kind": 3}])"));
  EXPECT_TRUE(contains(json, u8R"("anchor": [500040, 3100017], "text": "幸福路")"));
  EXPECT_TRUE(contains(json, u8R"("fields": {"注记号": "2", "注记类别": "地物名"})"));
  // Converted again into the same file, every point is reused and the new
  // circle's point gets a name of its own.
  const CommandResult again = epsw({"--cor", kCor, "--out", out, "--host-dir", kHostDir, "--append"});
  EXPECT_TRUE(contains(again.out, "1 point, 6 features and 0 texts")) << again.out << again.err;
  EXPECT_TRUE(contains(dump(), R"({"name": "T2", "kind": 3}, {"name": "C2", "kind": 3})"));
}

TEST_F(EpswCli, FailuresAndUsage) {
  const std::string exists = dir.write("exists.qel", "");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--out", out}, u8"请选者转换的文件类型和路径！！"},
      {{"--cor", kCor, "--out", exists}, "already exists: pass --overwrite"},
      {{"--cor", kCor, "--out", dir.file("o.qel"), "--host-dir", dir.path()},
       "can't find EPSWconvert.txt failed!! (5 times)"},  // once per feature line
  };
  for (const auto& c : cases) {
    const CommandResult r = epsw(c.first);
    EXPECT_EQ(r.exitCode, 1) << c.second;
    EXPECT_TRUE(contains(r.err, c.second)) << c.second << "\n" << r.err;
  }
  EXPECT_EQ(epsw({"--cor", kCor, "--out", out, "--far-points", "maybe"}).exitCode, 2);
}

TEST_F(EpswCli, FarPointsAreConvertedAndCountedWithoutATerminalOrDropped) {
  const std::string cor = dir.write("far.cor", "1 2 0 $a\nF1 200000000 1 0\nN1 1 1 0\n");
  const CommandResult asked = epsw({"--cor", cor, "--out", out, "--host-dir", kHostDir});
  EXPECT_TRUE(contains(asked.err, "1 far point or text")) << asked.err;
  EXPECT_TRUE(contains(dump(), R"("name": "F1")"));
  const CommandResult dropped =
      epsw({"--cor", cor, "--out", out, "--host-dir", kHostDir, "--overwrite", "--far-points", "drop"});
  EXPECT_EQ(dropped.exitCode, 0) << dropped.err;
  EXPECT_FALSE(contains(dump(), R"("name": "F1")"));
}

}  // namespace
}  // namespace dz::test
