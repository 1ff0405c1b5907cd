#include <gtest/gtest.h>

#include "base/file_io.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using test::runCommand;

std::string sample(const std::string& name) { return joinPath(DZ_POINT_SAMPLES, name); }

std::string lastLine(const std::string& out) {
  std::string text = out;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  const size_t nl = text.rfind('\n');
  return nl == std::string::npos ? text : text.substr(nl + 1);
}

// The dump line of one point, from its name to the end of its record.
std::string dumpedPoint(const std::string& dump, const std::string& name) {
  const size_t at = dump.find("{\"name\": \"" + name + "\"");
  return at == std::string::npos ? "" : dump.substr(at, dump.find('}', at) - at);
}

TEST(PointsCli, ImportsTheSampleWithTheDefaultsAndContinuesFromThePrintedBase) {
  test::TempDir dir;
  const std::string qel = dir.file("points.qel");
  auto r = runCommand(DOBRENZ_EXE, {"points", "--qel", qel, "--file", sample("control_points.txt"), "--base", "K12"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(lastLine(r.out), "K17");
  EXPECT_NE(r.err.find(u8"点添加完毕！！"), std::string::npos);

  r = runCommand(DOBRENZ_EXE, {"points", "--qel", qel, "--file", sample("control_points.txt"), "--base",
                               lastLine(r.out)});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(lastLine(r.out), "K22");

  const auto dump = runCommand(DOBRENZ_EXE, {"dump", qel});
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  EXPECT_NE(dumpedPoint(dump.out, "K12").find("\"code\": 0, \"north\": 31204.117, \"east\": 53621.482, \"elev\": 12.35"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dumpedPoint(dump.out, "K13").find("\"code\": 2001"), std::string::npos);
  EXPECT_NE(dumpedPoint(dump.out, "K14").find("\"elev\": 9999"), std::string::npos);
  EXPECT_NE(dumpedPoint(dump.out, "K21").find("\"east\": 53690.336"), std::string::npos);
}

TEST(PointsCli, ColumnSampleWithCustomNumbering) {
  test::TempDir dir;
  const std::string qel = dir.file("points.qel");
  const auto r = runCommand(DOBRENZ_EXE, {"points", "--qel", qel, "--file", sample("column_points.txt"), "--layout",
                                          "column", "--value-field", "2", "--sep", "", "--prefix", "C"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(lastLine(r.out), "C4");
  const auto dump = runCommand(DOBRENZ_EXE, {"dump", qel});
  EXPECT_NE(dumpedPoint(dump.out, "C2").find("\"north\": 31188.764, \"east\": 53640.905, \"elev\": 12.61"),
            std::string::npos)
      << dump.out;
}

TEST(PointsCli, ProblemsAreToldWithTheirExitCodes) {
  test::TempDir dir;
  const std::string qel = dir.file("points.qel");
  const std::string text = dir.write("p.txt", "1,,1,2,3\n");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string errContains;
  } cases[] = {
      {{"--file", text}, 2, "--qel is required"},
      {{"--qel", qel, "--file", text, "--dup", "merge"}, 2, "--dup must be one of rename, update, ignore"},
      {{"--qel", qel, "--file", text, "--cycle", "2"}, 2, "--cycle applies to --layout column"},
      {{"--qel", qel, "--file", text, "--layout", "column", "--cycle", "0"}, 2, "--cycle 0"},
      {{"--qel", qel, "--file", text, "--prefix", "P", "--numbering", "auto"}, 2, "apply to --numbering custom"},
      {{"--qel", qel, "--file", text, "--base", "ABCDEFGHIJKLM"}, 2, "longer than 12 bytes"},
      {{"--qel", qel, "--file", dir.file("missing.txt")}, 1, u8"不能打开所选的文件!!"},
      {{"--qel", dir.file("long.qel"), "--file", text, "--base", "ABCDEFGHIJ9"}, 1, u8"超过11个字节"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"points"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = runCommand(DOBRENZ_EXE, args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.errContains << "\n" << r.err;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fileExists(qel));  // nothing was imported, so nothing was written

  const auto help = runCommand(DOBRENZ_EXE, {"points", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--layout row --sep , --east 3 --north 4 --elev 5 --code 2"), std::string::npos);
}

}  // namespace
}  // namespace dz
