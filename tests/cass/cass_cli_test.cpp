#include <gtest/gtest.h>

#include "base/file_io.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

const std::string kSamples = SAMPLES_DIR;

std::vector<std::string> sampleArgs(const std::string& out) {
  return {"cass",          "--cas",        kSamples + "/cass/sample.cas", "--qs", kSamples + "/cass/sample.qs",
          "--parcels",     kSamples + "/cass/parcels.txt", "--out", out, "--host-dir", kSamples + "/host"};
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CassCli, ConvertsTheSampleDataSet) {
  TempDir dir;
  const std::string out = dir.file("sample.qel");
  const auto r = runCommand(DOBRENZ_EXE, sampleArgs(out));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, std::string(u8"转换完毕！！") + "\n");
  EXPECT_TRUE(contains(r.out, "points written:   20\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "features written: 8 (parcels 2, parcel labels 1, houses 1)\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "texts written:    3\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "messages shown:   1\n")) << r.out;

  const auto dump = runCommand(DOBRENZ_EXE, {"dump", out});
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  const std::string& j = dump.out;
  // The line, the circle (centre 5080,3010, radius 2.5) and the point.
  EXPECT_TRUE(contains(j, "\"name\": \"X1\", \"raw_name\": \"583100000000000000000000\", \"w12\": 0, \"w14\": 0, "
                          "\"w16\": 0, \"code\": 0, \"north\": 3000, \"east\": 5000, \"elev\": 0, \"flag\": 0}"));
  EXPECT_TRUE(contains(j, "\"name\": \"X7\", \"raw_name\": \"583700000000000000000000\", \"w12\": 0, \"w14\": 0, "
                          "\"w16\": 0, \"code\": 0, \"north\": 3010, \"east\": 5077.5,"));
  EXPECT_TRUE(contains(j, "\"north\": 3010, \"east\": 5082.5,"));
  EXPECT_TRUE(contains(j, "\"kind\": 0, \"code\": 4301, \"refs\": [{\"name\": \"X1\", \"kind\": 1}, {\"name\": "
                          "\"X2\", \"kind\": 1}], \"attributes\": \"\"}"));
  EXPECT_TRUE(contains(j, "\"code\": 5610, \"refs\": [{\"name\": \"X7\", \"kind\": 3}, {\"name\": \"X8\", \"kind\": 3}]"));
  EXPECT_TRUE(contains(j, "\"code\": 3120, \"refs\": [{\"name\": \"X9\", \"kind\": 1}]"));
  // The house, closed, with structure 砖 and 2 floors from the texts inside it.
  EXPECT_TRUE(contains(j, "\"kind\": 3, \"code\": 2120, \"refs\": [{\"name\": \"X10\", \"kind\": 1}, {\"name\": "
                          "\"X11\", \"kind\": 1}, {\"name\": \"X12\", \"kind\": 1}, {\"name\": \"X13\", \"kind\": "
                          "1}, {\"name\": \"X10\", \"kind\": 1}], \"attributes\": "
                          "\"d7a9000000000000000002000000000000000000\"}"));
  // Two parcels over the shared boundary points J1..J6, and the label of 0101.
  EXPECT_TRUE(contains(j, "\"name\": \"J2\", \"raw_name\": \"4a3200000000000000000000\", \"w12\": 0, \"w14\": 0, "
                          "\"w16\": 0, \"code\": 0, \"north\": 3100, \"east\": 5020, \"elev\": 0, \"flag\": 1}"));
  EXPECT_TRUE(contains(j, "\"kind\": 1, \"code\": 7311, \"refs\": [{\"name\": \"J1\", \"kind\": 1}, {\"name\": "
                          "\"J2\", \"kind\": 1}, {\"name\": \"J3\", \"kind\": 1}, {\"name\": \"J4\", \"kind\": 1}, "
                          "{\"name\": \"J1\", \"kind\": 1}], \"attributes\": \"000000000000794000000000008071400000"));
  EXPECT_TRUE(contains(j, "\"kind\": 1, \"code\": 7311, \"refs\": [{\"name\": \"J2\", \"kind\": 1}, {\"name\": "
                          "\"J5\", \"kind\": 1}, {\"name\": \"J6\", \"kind\": 1}, {\"name\": \"J3\", \"kind\": 1}, "
                          "{\"name\": \"J2\", \"kind\": 1}]"));
  EXPECT_TRUE(contains(j, "\"kind\": 2, \"code\": 7310, \"refs\": [{\"name\": \"0101\", \"kind\": 0}], "
                          "\"attributes\": \"30313031000000000000000000000000000000000000000000000000000000000000"
                          "00000000\"}"));
  EXPECT_TRUE(contains(j, "\"anchor\": [3037.5, 5015], \"text\": \"" + std::string(u8"砖") + "\""));
  EXPECT_TRUE(contains(j, "\"anchor\": [3005, 5030], \"text\": \"" + std::string(u8"测绘路") + "\""));
}

TEST(CassCli, ExistingOutputIsRefusedUnlessOverwriteOrAppend) {
  TempDir dir;
  const std::string out = dir.file("o.qel");
  ASSERT_EQ(runCommand(DOBRENZ_EXE, sampleArgs(out)).exitCode, 0);
  const std::string before = readFile(out);
  auto r = runCommand(DOBRENZ_EXE, sampleArgs(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(contains(r.err, "already exists: pass --overwrite")) << r.err;
  EXPECT_EQ(readFile(out), before);

  auto args = sampleArgs(out);
  args.push_back("--overwrite");
  r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(out), before);

  // Into the same file again: the generated points exist already and are
  // refused by the engine; every feature and text is added a second time.
  args.back() = "--append";
  r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const auto dump = runCommand(DOBRENZ_EXE, {"dump", out});
  EXPECT_TRUE(contains(dump.out, "\"index\": 16,"));
  EXPECT_FALSE(contains(dump.out, "\"index\": 17,"));
}

TEST(CassCli, FailuresAreReportedWithoutTheClosingMessage) {
  TempDir dir;
  auto args = sampleArgs(dir.file("o.qel"));
  args[2] = dir.file("missing.cas");
  auto r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "can't find *.cas failed!!\n");
  EXPECT_FALSE(fileExists(dir.file("o.qel")));

  // Without the code table every header is reported, folded into one line;
  // the conversion goes on with code 0 and completes, but the exit status
  // says that something was reported.
  args = sampleArgs(dir.file("o.qel"));
  args.back() = dir.path();
  r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "can't find CASSCode.txt failed!! (8 times)\n" + std::string(u8"转换完毕！！") + "\n");

  const std::string damaged = dir.write("bad.qel", "garbage");
  args = sampleArgs(damaged);
  args.push_back("--append");
  r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(contains(r.err, "can't open " + damaged + " failed!!")) << r.err;
  EXPECT_TRUE(contains(r.err, "not a feature file")) << r.err;
  EXPECT_FALSE(contains(r.err, u8"转换完毕")) << r.err;
  EXPECT_EQ(readFile(damaged), "garbage");
}

TEST(CassCli, OutputThatCannotBeWrittenIsAFailure) {
  TempDir dir;
  const std::string out = dir.file("no-such-dir/o.qel");
  const auto r = runCommand(DOBRENZ_EXE, sampleArgs(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(contains(r.err, "error: ")) << r.err;
  EXPECT_FALSE(contains(r.err, u8"转换完毕")) << r.err;
  EXPECT_FALSE(fileExists(out));
}

TEST(CassCli, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"cass"}, "--cas is required"},
      {{"cass", "--cas", "a.cas", "--qs", "a.qs", "--parcels", "p.txt"}, "--out is required"},
      {{"cass", "--cas", "a", "--qs", "b", "--parcels", "c", "--out", "d", "extra"}, "unexpected argument 'extra'"},
      {{"cass", "--cas", "a", "--qs", "b", "--parcels", "c", "--out", "d", "--overwrite", "--append"},
       "exclude each other"},
  };
  for (const Case& c : cases) {
    const auto r = runCommand(DOBRENZ_EXE, c.args);
    EXPECT_EQ(r.exitCode, 2) << c.err;
    EXPECT_TRUE(contains(r.err, c.err)) << r.err;
  }
  const auto help = runCommand(DOBRENZ_EXE, {"cass", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(contains(help.out, "usage: dobrenz cass --cas FILE"));
}

}  // namespace
}  // namespace dz::test
