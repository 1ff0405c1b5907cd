#include <gtest/gtest.h>

#include "base/file_io.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

const std::string kSamples = SAMPLES_DIR;
const std::string kDone = u8"转换完毕！！";

std::vector<std::string> sampleArgs(const std::string& out) {
  return {"cass", "--cas", kSamples + "/cass/sample.cas", "--qs", kSamples + "/cass/sample.qs", "--parcels",
          kSamples + "/cass/parcels.txt", "--out", out, "--host-dir", kSamples + "/host"};
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CassCli, ConvertsTheSampleDataSet) {
  TempDir dir;
  const std::string out = dir.file("sample.qel");
  const auto r = runCommand(DOBRENZ_EXE, sampleArgs(out));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, kDone + "\n");
  EXPECT_EQ(r.out,
            "points written:   20\nfeatures written: 8 (parcels 2, parcel labels 1, houses 1)\n"
            "texts written:    3\nmessages shown:   1\n");

  const auto dump = runCommand(DOBRENZ_EXE, {"dump", out});
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  const char* const expected[] = {
      // the line, the circle of radius 2.5 round (5080, 3010), the point
      "\"code\": 4301, \"refs\": [{\"name\": \"X1\", \"kind\": 1}, {\"name\": \"X2\", \"kind\": 1}], \"attributes\": \"\"}",
      "\"name\": \"X7\", \"raw_name\": \"583700000000000000000000\", \"w12\": 0, \"w14\": 0, \"w16\": 0, "
      "\"code\": 0, \"north\": 3010, \"east\": 5077.5, \"elev\": 0, \"flag\": 0}",
      "\"code\": 5610, \"refs\": [{\"name\": \"X7\", \"kind\": 3}, {\"name\": \"X8\", \"kind\": 3}]",
      "\"code\": 3120, \"refs\": [{\"name\": \"X9\", \"kind\": 1}]",
      // the house, closed, with structure 砖 and 2 floors from the texts inside it
      "\"kind\": 3, \"code\": 2120, \"refs\": [{\"name\": \"X10\", \"kind\": 1}, {\"name\": \"X11\", \"kind\": 1}, "
      "{\"name\": \"X12\", \"kind\": 1}, {\"name\": \"X13\", \"kind\": 1}, {\"name\": \"X10\", \"kind\": 1}], "
      "\"attributes\": \"d7a9000000000000000002000000000000000000\"}",
      // parcels over the shared boundary points J1..J6, and the label of 0101
      "\"name\": \"J2\", \"raw_name\": \"4a3200000000000000000000\", \"w12\": 0, \"w14\": 0, \"w16\": 0, "
      "\"code\": 0, \"north\": 3100, \"east\": 5020, \"elev\": 0, \"flag\": 1}",
      "\"kind\": 1, \"code\": 7311, \"refs\": [{\"name\": \"J2\", \"kind\": 1}, {\"name\": \"J5\", \"kind\": 1}, "
      "{\"name\": \"J6\", \"kind\": 1}, {\"name\": \"J3\", \"kind\": 1}, {\"name\": \"J2\", \"kind\": 1}], "
      "\"attributes\": \"0000000000007940000000000000794000000000000000000000000000000000000000000000000030313032",
      "\"kind\": 2, \"code\": 7310, \"refs\": [{\"name\": \"0101\", \"kind\": 0}], \"attributes\": "
      "\"3031303100000000000000000000000000000000000000000000000000000000000000000000\"}",
      u8"\"anchor\": [3037.5, 5015], \"text\": \"砖\"",
      u8"\"anchor\": [3005, 5030], \"text\": \"测绘路\"",
  };
  for (const char* part : expected) EXPECT_TRUE(contains(dump.out, part)) << part;
}

TEST(CassCli, ExistingOutputIsRefusedUnlessOverwriteOrAppend) {
  TempDir dir;
  const std::string out = dir.file("o.qel");
  auto args = sampleArgs(out);
  ASSERT_EQ(runCommand(DOBRENZ_EXE, args).exitCode, 0);
  const std::string before = readFile(out);
  auto r = runCommand(DOBRENZ_EXE, args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(contains(r.err, "already exists: pass --overwrite")) << r.err;
  args.push_back("--overwrite");
  EXPECT_EQ(runCommand(DOBRENZ_EXE, args).exitCode, 0);
  EXPECT_EQ(readFile(out), before);
  // Appended: the generated points exist and are refused; features are added again.
  args.back() = "--append";
  EXPECT_EQ(runCommand(DOBRENZ_EXE, args).exitCode, 0);
  const std::string dump = runCommand(DOBRENZ_EXE, {"dump", out}).out;
  EXPECT_TRUE(contains(dump, "\"index\": 16,") && !contains(dump, "\"index\": 17,"));
}

TEST(CassCli, FailuresSetTheExitStatus) {
  TempDir dir;
  const std::string damaged = dir.write("bad.qel", "garbage");
  struct Case {
    const char* behaviour;
    size_t arg;  // the argument replaced
    std::string value;
    std::string err;  // the whole of standard error, or a part of it with `part`
    bool part;
  };
  const Case cases[] = {
      {"a missing .cas: no closing message", 2, dir.file("missing.cas"), "can't find *.cas failed!!\n", false},
      {"a missing code table: reported, folded, converted", 10, dir.path(),
       "can't find CASSCode.txt failed!! (8 times)\n" + kDone + "\n", false},
      {"an output that cannot be opened", 8, damaged, "can't open " + damaged + " failed!!\n", true},
      {"an output that cannot be written", 8, dir.file("no-such-dir/o.qel"), "error: ", true},
  };
  for (const Case& c : cases) {
    auto args = sampleArgs(dir.file("o.qel"));
    args[c.arg] = c.value;
    args.push_back("--append");
    const auto r = runCommand(DOBRENZ_EXE, args);
    EXPECT_EQ(r.exitCode, 1) << c.behaviour;
    if (c.part) {
      EXPECT_TRUE(contains(r.err, c.err) && !contains(r.err, kDone)) << c.behaviour << "\n" << r.err;
    } else {
      EXPECT_EQ(r.err, c.err) << c.behaviour;
    }
    std::remove(dir.file("o.qel").c_str());
  }
  EXPECT_EQ(readFile(damaged), "garbage");
}

TEST(CassCli, UsageErrors) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"cass", "--cas", "a.cas", "--qs", "a.qs", "--parcels", "p.txt"}, "--out is required"},
      {{"cass", "--cas", "a", "--qs", "b", "--parcels", "c", "--out", "d", "extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& c : cases) {
    const auto r = runCommand(DOBRENZ_EXE, c.first);
    EXPECT_EQ(r.exitCode, 2) << c.second;
    EXPECT_TRUE(contains(r.err, c.second)) << r.err;
  }
}

}  // namespace
}  // namespace dz::test
