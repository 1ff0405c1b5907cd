#include <gtest/gtest.h>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using test::runCommand;

struct CliCase {
  std::vector<std::string> args;
  int exitCode;
  std::string outContains;
  std::string errContains;
};

TEST(CliFrame, UsageHelpAndVersion) {
  const CliCase cases[] = {
      {{}, 2, "", "usage: dobrenz"},
      {{"--help"}, 0, "dump", ""},
      {{"--version"}, 0, "dobrenz 1.0.0.1", ""},
      {{"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
      {{"dump", "--help"}, 0, "usage: dobrenz dump FILE.qel", ""},
      {{"dump"}, 2, "", "expected one feature file"},
      {{"dump", "--bogus", "x"}, 2, "", "unknown option --bogus"},
      {{"dump", "/nonexistent/x.qel"}, 1, "", "/nonexistent/x.qel does not exist"},
  };
  for (const CliCase& c : cases) {
    const auto r = runCommand(DOBRENZ_EXE, c.args);
    const std::string label = c.args.empty() ? "(none)" : c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
    EXPECT_EQ(r.exitCode, c.exitCode) << label << "\n" << r.err;
    EXPECT_NE(r.out.find(c.outContains), std::string::npos) << label << "\n" << r.out;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << label << "\n" << r.err;
  }
}

TEST(CliDump, PrintsTheWholeFileAsJson) {
  test::TempDir dir;
  const std::string path = dir.file("d.qel");
  {
    FeatureFileEngine engine(".");
    QelHandle h = engine.OpenFeatureFile(path.c_str());
    PointRecord p{};
    copyName(p.name, "X1");
    p.north = 1.5;
    p.east = 2.5;
    p.w14 = -2;
    engine.AddPoint(h, &p, 1);
    FeatureHeader header{};
    header.code = 7311;
    PointRef r{};
    copyName(r.name, "X1");
    r.kind = 1;
    const uint8_t block[2] = {0xAB, 0x01};
    engine.AddFeature(h, &header, &r, 1, block, 2);
    const double anchor[2] = {100, 200};
    TextStyle style{};
    const int object = engine.AddTextObject(engine.GetTextLayer(h), anchor, "砖\0", 3, &style, 2);
    void *a, *b;
    engine.GetObjectAttributes(engine.GetTextLayer(h), object, &a, &b);
    engine.SetAttributeField(b, a, "注记号", "12");
    engine.WriteObjectAttributes(engine.GetTextLayer(h), 1, object, a, b);
    engine.CommitFeatureFile(h);
  }
  const auto r = runCommand(DOBRENZ_EXE, {"dump", path});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string style(188, '0');
  const std::string expected =
      "{\"format\": \"qel-dump/1\",\n"
      " \"points\": [\n"
      "  {\"name\": \"X1\", \"raw_name\": \"583100000000000000000000\", \"w12\": 0, \"w14\": -2, \"w16\": 0, "
      "\"code\": 0, \"north\": 1.5, \"east\": 2.5, \"elev\": 0, \"flag\": 0}\n"
      " ],\n"
      " \"features\": [\n"
      "  {\"index\": 1, \"name\": \"\", \"raw_name\": \"000000000000000000000000\", \"kind\": 0, \"code\": 7311, "
      "\"refs\": [{\"name\": \"X1\", \"kind\": 1}], \"attributes\": \"ab01\"}\n"
      " ],\n"
      " \"texts\": [\n"
      "  {\"index\": 1, \"anchor\": [100, 200], \"text\": \"" +
      std::string(u8"砖") + "\", \"raw_text\": \"d7a900\", \"length\": 3, \"style\": \"" + style +
      "\", \"mode\": 2, \"fields\": {\"" + u8"注记号" + "\": \"12\"}}\n"
      " ]}\n";
  EXPECT_EQ(r.out, expected);
}

TEST(CliDump, EmptyFileAndDamagedFile) {
  test::TempDir dir;
  const std::string path = dir.file("e.qel");
  {
    FeatureFileEngine engine(".");
    engine.CommitFeatureFile(engine.OpenFeatureFile(path.c_str()));
  }
  auto r = runCommand(DOBRENZ_EXE, {"dump", path});
  EXPECT_EQ(r.out, "{\"format\": \"qel-dump/1\",\n \"points\": [],\n \"features\": [],\n \"texts\": []}\n");
  dir.write("bad.qel", "garbage");
  r = runCommand(DOBRENZ_EXE, {"dump", dir.file("bad.qel")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("not a feature file"), std::string::npos);
}

}  // namespace
}  // namespace dz
