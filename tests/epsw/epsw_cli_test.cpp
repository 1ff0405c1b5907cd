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
  CommandResult epsw(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "epsw");
    return runCommand(DOBRENZ_EXE, args, input);
  }
  std::string dump() {
    const CommandResult r = runCommand(DOBRENZ_EXE, {"dump", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
  }

  TempDir dir;
  std::string out = dir.file("out.qel");
};

TEST_F(EpswCli, ConvertsTheSamples) {
  const CommandResult r = epsw({"--cor", kCor, "--not", kNot, "--out", out, "--host-dir", kHostDir});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(contains(r.err, u8"数据转换完毕！！！")) << r.err;
  EXPECT_TRUE(contains(r.out, "11 points, 6 features and 2 texts")) << r.out;
  const std::string json = dump();
  // The circle's generated point: C2 reflected through C1.
  EXPECT_TRUE(contains(json, R"("name": "T1", "raw_name": "543100000000000000000000", "w12": 0, "w14": 0, "w16": 0, )"
                             R"("code": 0, "north": 3100300, "east": 500190)")) << json;
  EXPECT_TRUE(contains(json, R"("code": 8201, "refs": [{"name": "T1", "kind": 3}, {"name": "C2", "kind": 3}])"));
  EXPECT_TRUE(contains(json, R"("name": "3", "raw_name": "330000000000000000000000", "kind": 0, "code": 3750, )"
                             R"("refs": [{"name": "S2", "kind": 0}])"));
  EXPECT_TRUE(contains(json, R"("code": 8301, "refs": [{"name": "R3", "kind": 2}, {"name": "H1", "kind": 2}, )"
                             R"({"name": "H2", "kind": 2}, {"name": "", "kind": 2}])"));
  EXPECT_TRUE(contains(json, R"("code": 0, "refs": [{"name": "R1", "kind": 0}, {"name": "K1", "kind": 0}])"));
  EXPECT_TRUE(contains(json, u8R"("anchor": [500040, 3100017], "text": "幸福路")"));
  EXPECT_TRUE(contains(json, u8R"("fields": {"注记号": "2", "注记类别": "地物名"})"));

  // Converting again into the same file reuses every point; the new circle
  // gets a name of its own.
  const CommandResult again = epsw({"--cor", kCor, "--out", out, "--host-dir", kHostDir, "--append"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(contains(again.out, "1 points, 6 features and 0 texts")) << again.out;
  EXPECT_TRUE(contains(dump(), R"({"name": "T2", "kind": 3}, {"name": "C2", "kind": 3})"));
}

TEST_F(EpswCli, FailuresAndUsage) {
  dir.write("exists.qel", "");
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string errContains;
  };
  const Case cases[] = {
      {{"--out", out}, 1, u8"请选者转换的文件类型和路径！！"},
      {{"--cor", "", "--out", out}, 1, u8"请输入Cor文件路径！！"},
      {{"--cor", kCor}, 1, u8"请输入Qel文件路径！！"},
      {{"--cor", kCor, "--out", dir.file("exists.qel")}, 1, "already exists: pass --overwrite"},
      {{"--cor", dir.file("absent.cor"), "--out", out}, 1, "can't find *.Cor failed!!"},
      {{"--cor", kCor, "--not", dir.file("absent.not"), "--out", out, "--host-dir", kHostDir}, 1,
       "can't find *.not failed!!"},
      {{"--cor", kCor, "--out", dir.file("o2.qel"), "--host-dir", dir.path()}, 1,
       "can't find EPSWconvert.txt failed!! (5 times)"},
      {{"--cor", kCor, "--out", out, "--far-points", "maybe"}, 2, "--far-points takes ask, convert or drop"},
      {{"--cor", kCor, "--out", out, "--overwrite", "--append"}, 2, "exclude each other"},
  };
  for (const Case& c : cases) {
    const CommandResult r = epsw(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.args.back() << "\n" << r.err;
    EXPECT_TRUE(contains(r.err, c.errContains)) << c.errContains << "\n" << r.err;
  }
}

TEST_F(EpswCli, FarPointsAreConvertedAndCountedWithoutATerminalOrDropped) {
  const std::string cor = dir.write("far.cor", "1 2 0 $a\nF1 200000000 1 0\nN1 1 1 0\n");
  const CommandResult asked = epsw({"--cor", cor, "--out", out, "--host-dir", kHostDir});
  EXPECT_EQ(asked.exitCode, 0) << asked.err;
  EXPECT_TRUE(contains(asked.err, "1 far point or text")) << asked.err;
  EXPECT_TRUE(contains(dump(), R"("name": "F1")"));

  const CommandResult dropped = epsw({"--cor", cor, "--out", out, "--host-dir", kHostDir, "--overwrite", "--far-points", "drop"});
  EXPECT_EQ(dropped.exitCode, 0) << dropped.err;
  EXPECT_TRUE(contains(dropped.err, "dropped 1 far point or text")) << dropped.err;
  EXPECT_FALSE(contains(dump(), R"("name": "F1")"));
}

}  // namespace
}  // namespace dz::test
