// Every behaviour of dobrenz that a user sees, one row each (cli_case.h).
// Texts the tool prints are UTF-8 (u8"..."); texts written into input files
// are the host's GBK, as the sources compile plain literals.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <stdexcept>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/json.h"
#include "base/text_encoding.h"
#include "standin/engine.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/cli/cli_case.h"
#include "tests/support/test_files.h"

namespace dz::test::cli {
namespace {

using Args = std::vector<std::string>;
using Fill = std::function<void(HostLibrary& host, QelHandle file)>;

// A feature file made through the engine, committed.
std::function<void(const std::string&)> qelFile(Fill fill) {
  return [fill](const std::string& path) {
    FeatureFileEngine engine(".");
    const QelHandle h = engine.OpenFeatureFile(path.c_str());
    fill(engine, h);
    engine.CommitFeatureFile(h);
  };
}

// A file as the CASS conversion of the CASS sample leaves it: two parcels,
// the label of parcel 0101, a house without a name and a line feature.
void cassLikeFeatures(HostLibrary& host, QelHandle h) {
  addParcel(host, h, "0101");
  addParcel(host, h, "0102");
  addParcelLabel(host, h, "0101");
  addHouse(host, h, "", "砖", 2);
  addFeature(host, h, kLineFeature, 4410, "", {pointRef("X1"), pointRef("X2")}, {});
}

// The dump's form of an attribute block.
std::string dumped(const std::vector<uint8_t>& block) {
  return "\"attributes\": \"" + hexBytes(block.data(), block.size()) + "\"";
}

// Parcel 0101 after the sample parcel attributes: its areas, use and user.
std::vector<uint8_t> attachedParcel(std::vector<uint8_t> block) {
  putLE<double>(block.data(), 0, 1250.75);
  putLE<double>(block.data(), 8, 860.5);
  copyField(reinterpret_cast<char*>(block.data()) + 80, 20, "教育用地");
  copyField(reinterpret_cast<char*>(block.data()) + 100, 80, "城关镇第一小学");
  copyField(reinterpret_cast<char*>(block.data()) + 205, 15, "G1-3");
  return block;
}

// The label of parcel 0101 after the sample boundary-point attributes.
std::vector<uint8_t> attachedLabel() {
  std::vector<uint8_t> label(kBoundaryPointAttributesSize, 0);
  copyField(reinterpret_cast<char*>(label.data()), 10, "钢钉");
  copyField(reinterpret_cast<char*>(label.data()) + 10, 10, "围墙");
  copyField(reinterpret_cast<char*>(label.data()) + 20, 7, "J1");
  copyField(reinterpret_cast<char*>(label.data()) + 27, 9, "解析法");
  return label;
}

Args cassSample(const std::string& out) {
  return {"cass",    "--cas", "{samples}/cass/sample.cas", "--qs", "{samples}/cass/sample.qs",
          "--parcels", "{samples}/cass/parcels.txt", "--out", out, "--host-dir", "{samples}/host"};
}

// The sample, with one argument's value replaced, into o.qel, appended.
Args cassSampleWith(const std::string& option, const std::string& value) {
  Args args = cassSample("o.qel");
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option) args[i + 1] = value;
  args.push_back("--append");
  return args;
}

Args epswSample(const std::string& out) {
  return {"epsw", "--cor", "{samples}/epsw/sample.cor", "--not", "{samples}/epsw/sample.not",
          "--out", out,   "--host-dir", "{samples}/host"};
}

Args points(Args rest) {
  rest.insert(rest.begin(), "points");
  return rest;
}

const std::string kCassDone = u8"转换完毕！！";

// The sample conversion on the copy of the samples in the case's folder, with more arguments.
Args cassOnCopy(Args more) {
  Args args = {"cass", "--cas", "samples/cass/sample.cas", "--qs", "samples/cass/sample.qs", "--parcels",
               "samples/cass/parcels.txt", "--out", "o.qel", "--host-dir", "samples/host"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// A symbolic link `name` to `target`, made in the case's folder.
std::function<void(const std::string&)> linkTo(const std::string& target) {
  return [target](const std::string& path) { std::filesystem::create_symlink(target, path); };
}

// A CASS line feature of `n` vertices after a keyword line: its header is line 2.
std::string longCasFeature(int n) {
  std::string cas = "LINE\n123,long\n";
  for (int i = 0; i < n; ++i) cas += std::to_string(i) + ".5,1.0\n";
  return cas + "nil\n";
}

void programCases(std::vector<Case>& t) {
  t.push_back(Case("program", "WithoutACommandPrintsTheOverview").run({}).exits(2).errHas({"usage: dobrenz"}));
  t.push_back(Case("program", "HelpListsEveryCommand")
                  .run({"--help"})
                  .outHas({"cass", "epsw", "attach", "points", "dump", "run"}));
  t.push_back(Case("program", "Version").run({"--version"}).outIs("dobrenz 1.0.0.1\n"));
  t.push_back(
      Case("program", "UnknownCommand").run({"frobnicate"}).exits(2).errHas({"unknown command 'frobnicate'"}));
}

// The skeleton every command shares: its table gives the synopsis, the
// defaults in --help and every usage error.
void skeletonCases(std::vector<Case>& t) {
  t.push_back(Case("skeleton", "HelpShowsTheSynopsisFromTheTable")
                  .run({"dump", "--help"})
                  .outHas({"usage: dobrenz dump FILE.qel\n"})
                  .run({"cass", "--help"})
                  .outHas({"usage: dobrenz cass --cas FILE --out FILE.qel [OPTIONS]\n",
                           "  --host-dir DIR", "  --overwrite "}));
  t.push_back(Case("skeleton", "HelpShowsEachDefault")
                  .run({"points", "--help"})
                  .outHas({"--layout row|column", "(default: row)", "--sep TEXT", "(default: \",\")",
                           "--cycle N", "(default: 3)", "--dup rename|update|ignore", "(default: ignore)"})
                  .run({"epsw", "--help"})
                  .outHas({"--far-points ask|convert|drop", "(default: ask)"}));
  t.push_back(Case("skeleton", "HelpGoesBeforeWhatIsMissing").run({"cass", "--out", "x.qel", "-h"}).outHas({"usage:"}));
  t.push_back(Case("skeleton", "UsageErrorsPointToHelp")
                  .run({"dump"})
                  .exits(2)
                  .errIs("dobrenz dump: expected one feature file\ntry 'dobrenz dump --help'\n"));
  t.push_back(Case("skeleton", "UnknownOptions")
                  .run({"dump", "--bogus", "x"})
                  .exits(2)
                  .errHas({"unknown option --bogus"})
                  .run({"dump", "-x", "a.qel"})
                  .exits(2)
                  .errHas({"unknown option -x"}));
  t.push_back(Case("skeleton", "ValueAfterTheNameOrAfterAnEqualsSign")
                  .file("in.txt", "1,,1,2,3\n")
                  .run(points({"--qel=p.qel", "--file", "in.txt"}))
                  .outHas({"1 added"}));
  t.push_back(Case("skeleton", "MissingValue").run({"attach", "--qel"}).exits(2).errHas({"--qel needs a value (FILE.qel)"}));
  t.push_back(Case("skeleton", "FlagGivenAValue")
                  .run({"cass", "--overwrite=yes"})
                  .exits(2)
                  .errHas({"--overwrite takes no value"}));
  t.push_back(Case("skeleton", "NumberThatIsNone")
                  .run(points({"--qel", "p.qel", "--file", "in.txt", "--east", "3x"}))
                  .exits(2)
                  .errHas({"--east needs a whole number, not '3x'"}));
  t.push_back(Case("skeleton", "ChoiceThatIsNone")
                  .run({"epsw", "--out", "o.qel", "--far-points", "maybe"})
                  .exits(2)
                  .errHas({"--far-points must be one of ask, convert, drop, not 'maybe'"})
                  .absent("o.qel"));
}

void cassCases(std::vector<Case>& t) {
  t.push_back(
      Case("cass", "ConvertsTheSampleDataSet")
          .run(cassSample("sample.qel"))
          .errIs(kCassDone + "\n")
          .outIs("points written:   20\nfeatures written: 8 (parcels 2, parcel labels 1, houses 1)\n"
                 "texts written:    3\nmessages shown:   1\n")
          .dumpHas("sample.qel",
                   {
                       // the circle of radius 2.5 round (5080, 3010)
                       "\"name\": \"X7\", \"raw_name\": \"583700000000000000000000\", \"w12\": 0, \"w14\": 0, "
                       "\"w16\": 0, \"code\": 0, \"north\": 3010, \"east\": 5077.5, \"elev\": 0, \"flag\": 0}",
                       // the boundary points J1..J6 the parcels share
                       "\"name\": \"J2\", \"raw_name\": \"4a3200000000000000000000\", \"w12\": 0, \"w14\": 0, "
                       "\"w16\": 0, \"code\": 0, \"north\": 3100, \"east\": 5020, \"elev\": 0, \"flag\": 1}",
                       // the line, the circle, the point
                       "\"code\": 4301, \"refs\": [{\"name\": \"X1\", \"kind\": 1}, {\"name\": \"X2\", \"kind\": 1}], "
                       "\"attributes\": \"\"}",
                       "\"code\": 5610, \"refs\": [{\"name\": \"X7\", \"kind\": 3}, {\"name\": \"X8\", \"kind\": 3}]",
                       "\"code\": 3120, \"refs\": [{\"name\": \"X9\", \"kind\": 1}]",
                       // the house, closed, with structure 砖 and 2 floors from the texts inside it
                       "\"kind\": 3, \"code\": 2120, \"refs\": [{\"name\": \"X10\", \"kind\": 1}, {\"name\": \"X11\", "
                       "\"kind\": 1}, {\"name\": \"X12\", \"kind\": 1}, {\"name\": \"X13\", \"kind\": 1}, {\"name\": "
                       "\"X10\", \"kind\": 1}], \"attributes\": \"d7a9000000000000000002000000000000000000\"}",
                       // parcel 0102 and the label of 0101
                       "\"kind\": 1, \"code\": 7311, \"refs\": [{\"name\": \"J2\", \"kind\": 1}, {\"name\": \"J5\", "
                       "\"kind\": 1}, {\"name\": \"J6\", \"kind\": 1}, {\"name\": \"J3\", \"kind\": 1}, {\"name\": "
                       "\"J2\", \"kind\": 1}], \"attributes\": \"0000000000007940000000000000794000000000000000000000"
                       "000000000000000000000000000030313032",
                       "\"kind\": 2, \"code\": 7310, \"refs\": [{\"name\": \"0101\", \"kind\": 0}], \"attributes\": "
                       "\"3031303100000000000000000000000000000000000000000000000000000000000000000000\"}",
                       u8"\"anchor\": [3037.5, 5015], \"text\": \"砖\"",
                       u8"\"anchor\": [3005, 5030], \"text\": \"测绘路\"",
                   }));
  t.push_back(Case("cass", "ExistingOutputIsRefusedUnlessOverwriteOrAppend")
                  .run(cassSample("o.qel"))
                  .run(cassSample("o.qel"))
                  .exits(1)
                  .errHas({"o.qel already exists: pass --overwrite to replace it or --append to add to it."})
                  .leaves("o.qel")
                  .run([] {
                    Args a = cassSample("o.qel");
                    a.push_back("--overwrite");
                    return a;
                  }())
                  .leaves("o.qel")  // the same conversion again, byte for byte
                  .run([] {
                    Args a = cassSample("o.qel");
                    a.push_back("--append");
                    return a;
                  }())
                  // The features are added again, over points of their own: the
                  // numbering moves on past the X1..X13 of the first run.
                  .outHas({"points written:   14\n"})
                  .dumpHas("o.qel", {"\"name\": \"X26\"", "\"index\": 9,",
                                     "{\"name\": \"X14\", \"kind\": 1}, {\"name\": \"X15\", \"kind\": 1}",
                                     "\"index\": 16,"})
                  .dumpLacks("o.qel", {"\"index\": 17,", "\"name\": \"X27\""}));
  t.push_back(Case("cass", "OverwriteAndAppendExcludeEachOther")
                  .run([] {
                    Args a = cassSample("o.qel");
                    a.insert(a.end(), {"--overwrite", "--append"});
                    return a;
                  }())
                  .exits(2)
                  .errHas({"--overwrite and --append exclude each other"}));
  t.push_back(Case("cass", "MissingExchangeFileFailsWithoutTheClosingMessage")
                  .run(cassSampleWith("--cas", "missing.cas"))
                  .exits(1)
                  .errIs("can't find *.cas failed!!\n")
                  .absent("o.qel"));
  t.push_back(Case("cass", "MissingCodeTableIsFoldedAndFailsThoughTheFileIsWritten")
                  .run(cassSampleWith("--host-dir", "."))
                  .exits(1)
                  .errIs("can't find CASSCode.txt failed!! (8 times)\n"
                         "dobrenz cass: CASSCode.txt was looked for in . (--host-dir): give --host-dir DIR or set "
                         "QEL_HOST_DIR to the folder that holds it\n" +
                         kCassDone + "\n")
                  .present("o.qel"));
  t.push_back(Case("cass", "MissingParcelBoundaryFileFails")
                  .run(cassSampleWith("--qs", "missing.qs"))
                  .exits(1)
                  .errIs("can't find *.qs failed!! (2 times)\n" + kCassDone + "\n"));
  t.push_back(Case("cass", "MissingParcelAttributeFileFails")
                  .run(cassSampleWith("--parcels", "missing.txt"))
                  .exits(1)
                  .errIs(u8"can't find　*.txt failed!! (2 times)\n" + kCassDone + "\n"));
  t.push_back(Case("cass", "OutputThatCannotBeOpenedFails")
                  .file("bad.qel", "garbage")
                  .run(cassSampleWith("--out", "bad.qel"))
                  .exits(1)
                  .errHas({"can't open bad.qel failed!!\n"})
                  .errLacks({kCassDone})
                  .leaves("bad.qel"));
  t.push_back(Case("cass", "OutputThatCannotBeWrittenFailsAndSaysNothingWasWritten")
                  .run(cassSampleWith("--out", "o.qel"))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "no-space@1000")
                  .exits(1)
                  .errHas({"error: ", "dobrenz cass: nothing was written to o.qel"})
                  .errLacks({kCassDone})
                  .outIs(""));
  t.push_back(Case("cass", "OutputInAFolderThatIsNotThereIsNotOpened")
                  .run(cassSampleWith("--out", "no-such-dir/o.qel"))
                  .exits(1)
                  .errHas({"can't open no-such-dir/o.qel failed!!",
                           "dobrenz cass: no-such-dir/o.qel: the folder of the file does not exist"})
                  .errLacks({kCassDone})
                  .outIs(""));
  t.push_back(Case("cass", "TraceNamingAFileOfTheRunIsRefusedAndTruncatesNothing")
                  .copyOfSamples()
                  .file("link.qel", linkTo("o.qel"))
                  .run(cassOnCopy({"--trace", "samples/cass/sample.cas"}))
                  .exits(1)
                  .errIs("dobrenz cass: --trace samples/cass/sample.cas is samples/cass/sample.cas, the file of --cas: "
                         "give the trace a file of its own; nothing was done\n")
                  .leaves("samples/cass/sample.cas")
                  .absent("o.qel")
                  .run(cassOnCopy({"--trace", "samples/../samples/cass/sample.qs"}))
                  .exits(1)
                  .errHas({"the file of --qs"})
                  .leaves("samples/cass/sample.qs")
                  .run(cassOnCopy({"--trace", "samples/host/CASSCode.txt"}))
                  .exits(1)
                  .errHas({"the file of the code table"})
                  .leaves("samples/host/CASSCode.txt")
                  // The output, not there yet: by another spelling, and through a link.
                  .run(cassOnCopy({"--trace", "./o.qel"}))
                  .exits(1)
                  .errHas({"the file of --out"})
                  .absent("o.qel")
                  .run(cassOnCopy({"--trace", "link.qel"}))
                  .exits(1)
                  .errHas({"--trace link.qel is o.qel, the file of --out"})
                  .absent("o.qel")
                  .run(cassOnCopy({"--trace", "t.log"}))
                  .fileHas("t.log", {"OpenFeatureFile(", "CommitFeatureFile("})
                  // Once it exists, the output is the same file by any name.
                  .run(cassOnCopy({"--append", "--trace", "link.qel"}))
                  .exits(1)
                  .leaves("o.qel"));
  t.push_back(Case("cass", "TraceIsNotCreatedWhenTheOutputIsRefused")
                  .run(cassSample("o.qel"))
                  .run([] {
                    Args a = cassSample("o.qel");
                    a.insert(a.end(), {"--trace", "t.log"});
                    return a;
                  }())
                  .exits(1)
                  .errHas({"o.qel already exists"})
                  .absent("t.log"));
  t.push_back(Case("cass", "TraceThatCannotBeWrittenFails")
                  .run([] {
                    Args a = cassSample("o.qel");
                    a.insert(a.end(), {"--trace", "/dev/full"});
                    return a;
                  }())
                  .exits(1)
                  .errHas({"error: the trace file /dev/full could not be written"}));
  t.push_back(Case("cass", "FeaturesBeyondTheVertexLimitAreReportedAndFail")
                  .file("long.cas", longCasFeature(32768) + longCasFeature(3) + longCasFeature(40000))
                  .run(cassSampleWith("--cas", "long.cas"))
                  .exits(1)
                  .errIs("dobrenz cass: 2 features not written: more than 32767 vertices, which a feature cannot "
                         "hold (lines 2, 32779)\n" + kCassDone + "\n")
                  .outHas({"features written: 1 "}));
  t.push_back(Case("cass", "RequiredOptionMissing")
                  .run({"cass", "--cas", "a.cas", "--qs", "a.qs", "--parcels", "p.txt"})
                  .exits(2)
                  .errHas({"--out is required"}));
  t.push_back(Case("cass", "UnexpectedArgument")
                  .run({"cass", "--cas", "a", "--qs", "b", "--parcels", "c", "--out", "d", "extra"})
                  .exits(2)
                  .errHas({"unexpected argument 'extra'"}));
}

void epswCases(std::vector<Case>& t) {
  t.push_back(
      Case("epsw", "ConvertsTheSamplesAndAppendsReusingTheirPoints")
          .run(epswSample("out.qel"))
          .errHas({u8"数据转换完毕！！！"})
          .outHas({"11 points, 6 features and 2 texts written to out.qel"})
          .dumpHas("out.qel",
                   {R"("name": "T1", "raw_name": "543100000000000000000000", "w12": 0, "w14": 0, "w16": 0, )"
                    R"("code": 0, "north": 3100300, "east": 500190)",
                    R"("code": 8201, "refs": [{"name": "T1", "kind": 3}, {"name": "C2", "kind": 3}])",
                    u8R"("anchor": [500040, 3100017], "text": "幸福路")",
                    u8R"("fields": {"注记号": "2", "注记类别": "地物名"})"})
          // Converted again into the same file, every point is reused and
          // the new circle's point gets a name of its own.
          .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "out.qel", "--host-dir", "{samples}/host",
                "--append"})
          .outHas({"1 point, 6 features and 0 texts"})
          .dumpHas("out.qel", {R"({"name": "T2", "kind": 3}, {"name": "C2", "kind": 3})"}));
  t.push_back(Case("epsw", "NoFileSelectedIsToldAsTheDialogTellsIt")
                  .run({"epsw", "--out", "out.qel"})
                  .exits(1)
                  .errHas({u8"请选者转换的文件类型和路径！！"})
                  .outIs("")
                  .absent("out.qel"));
  t.push_back(Case("epsw", "ExistingOutputIsRefused")
                  .file("exists.qel", "")
                  .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "exists.qel"})
                  .exits(1)
                  .errHas({"exists.qel already exists: pass --overwrite"})
                  .leaves("exists.qel"));
  t.push_back(Case("epsw", "MissingCodeTableIsFoldedAndFails")
                  .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "o.qel", "--host-dir", "."})
                  .exits(1)
                  .errHas({"can't find EPSWconvert.txt failed!! (5 times)"})  // once per feature line
                  .present("o.qel"));
  t.push_back(Case("epsw", "MissingNotFileFailsButKeepsTheCorData")
                  .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--not", "missing.not", "--out", "o.qel",
                        "--host-dir", "{samples}/host"})
                  .exits(1)
                  .errIs("can't find *.not failed!!\n")
                  .outHas({"11 points, 6 features and 0 texts"})
                  .dumpHas("o.qel", {R"("name": "T1")"}));
  t.push_back(Case("epsw", "PaddingIsBoundByTheLinesOfTheFileAndReported")
                  .file("pad.cor", "1 4 0 $a\nP1 1 2 3\n1 32767 0 $b\n1 32767 0 $c\n1 32767 0 $d\n")
                  .run({"epsw", "--cor", "pad.cor", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .errHas({"dobrenz epsw: 3 features announce more vertices than the file gives (lines 3, 4, 5): "
                           "padded with empty entries only as far as the lines of the file go, 98299 left out"})
                  .outHas({"1 point, 4 features and 0 texts written to o.qel"}));
  t.push_back(Case("epsw", "FeatureBeyondTheVertexLimitIsReportedAndFails")
                  .file("long.cor",
                        [] {
                          std::string cor = "1 1 0 $a\n";
                          for (int i = 0; i < 32768; ++i) cor += "P" + std::to_string(i) + " 1 2 3\n";
                          return cor;
                        }())
                  .run({"epsw", "--cor", "long.cor", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .exits(1)
                  .errHas({"dobrenz epsw: 1 feature not written: more than 32767 vertices, which a feature cannot "
                           "hold (line 1)"})
                  .outHas({"32768 points, 0 features and 0 texts written to o.qel"}));
  t.push_back(Case("epsw", "FailedWriteSaysNothingWasWrittenAndNotThatItIsDone")
                  .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "o.qel", "--host-dir",
                        "{samples}/host"})
                  .withEnvironment("DZ_TEST_FILE_FAULT", "no-space@10")
                  .exits(1)
                  .errHas({"error: ", "dobrenz epsw: nothing was written to o.qel"})
                  .errLacks({u8"数据转换完毕！！！"})
                  .outIs(""));
  t.push_back(Case("epsw", "TraceNamingAnInputIsRefused")
                  .file("in.cor", "1 1 0 $a\nP1 1 2 3\n")
                  .run({"epsw", "--cor", "in.cor", "--out", "o.qel", "--trace", "./in.cor"})
                  .exits(1)
                  .errHas({"the file of --cor"})
                  .leaves("in.cor")
                  .absent("o.qel"));
  t.push_back(Case("epsw", "FarPointsAreConvertedAndCountedWithoutATerminalOrDropped")
                  .file("far.cor", "1 2 0 $a\nF1 200000000 1 0\nN1 1 1 0\n")
                  .run({"epsw", "--cor", "far.cor", "--out", "out.qel", "--host-dir", "{samples}/host"})
                  .errHas({"1 far point or text (beyond 100000000) converted without asking"})
                  .dumpHas("out.qel", {R"("name": "F1")"})
                  .run({"epsw", "--cor", "far.cor", "--out", "out.qel", "--host-dir", "{samples}/host", "--overwrite",
                        "--far-points", "drop"})
                  .errHas({"dropped 1 far point or text"})
                  .dumpLacks("out.qel", {R"("name": "F1")"})
                  .run({"epsw", "--cor", "far.cor", "--out", "out.qel", "--host-dir", "{samples}/host", "--overwrite",
                        "--far-points", "convert"})
                  .errHas({"converted 1 far point or text"})
                  .dumpHas("out.qel", {R"("name": "F1")"}));
}

void pointsCases(std::vector<Case>& t) {
  const std::string text = "1,,1,2,3\n";
  t.push_back(Case("points", "ImportsTheSampleWithTheDefaultsAndContinuesFromThePrintedBase")
                  .run(points({"--qel", "points.qel", "--file", "{samples}/textpoints/control_points.txt", "--base",
                               "K12"}))
                  .errHas({u8"点添加完毕！！"})
                  .outIs("{samples}/textpoints/control_points.txt: 5 lines; 5 added, 0 renamed, 0 updated, 0 ignored, "
                         "0 refused\nK17\n")
                  .run(points({"--qel", "points.qel", "--file", "{samples}/textpoints/control_points.txt", "--base",
                               "K17"}))
                  .outHas({"\nK22\n"})
                  .dumpHas("points.qel",
                           {"{\"name\": \"K12\", \"raw_name\": \"4b3132000000000000000000\", \"w12\": 0, \"w14\": 0, "
                            "\"w16\": 0, \"code\": 0, \"north\": 31204.117, \"east\": 53621.482, \"elev\": 12.35",
                            "{\"name\": \"K13\", \"raw_name\": \"4b3133000000000000000000\", \"w12\": 0, \"w14\": 0, "
                            "\"w16\": 0, \"code\": 2001,",
                            "{\"name\": \"K14\", \"raw_name\": \"4b3134000000000000000000\", \"w12\": 0, \"w14\": 0, "
                            "\"w16\": 0, \"code\": 0, \"north\": 31172.003, \"east\": 53658.21, \"elev\": 9999,",
                            "{\"name\": \"K21\", \"raw_name\": \"4b3231000000000000000000\", \"w12\": 0, \"w14\": 0, "
                            "\"w16\": 0, \"code\": 0, \"north\": 31149.87, \"east\": 53690.336,"}));
  t.push_back(Case("points", "ColumnSampleWithCustomNumbering")
                  .run(points({"--qel", "points.qel", "--file", "{samples}/textpoints/column_points.txt", "--layout",
                               "column", "--value-field", "2", "--sep", "", "--prefix", "C"}))
                  .outHas({"\nC4\n"})
                  .dumpHas("points.qel", {"{\"name\": \"C2\", \"raw_name\": \"433200000000000000000000\", \"w12\": 0, "
                                          "\"w14\": 0, \"w16\": 0, \"code\": 0, \"north\": 31188.764, \"east\": "
                                          "53640.905, \"elev\": 12.61"}));
  t.push_back(Case("points", "MissingTextFileFailsAndLeavesNoFeatureFile")
                  .run(points({"--qel", "points.qel", "--file", "missing.txt"}))
                  .exits(1)
                  .errHas({u8"不能打开所选的文件!!",
                           "dobrenz points: missing.txt cannot be opened for reading; points.qel is unchanged"})
                  .outIs("1\n")
                  .absent("points.qel"));
  t.push_back(Case("points", "TextFileThatIsTheFeatureFileIsRefused")
                  .file("p.qel", qelFile([](HostLibrary&, QelHandle) {}))
                  .file("p.txt", text)
                  .run(points({"--qel", "p.qel", "--file", "./p.qel"}))
                  .exits(1)
                  .errIs("dobrenz points: --file ./p.qel is p.qel, the feature file of --qel: give the point text "
                         "file; nothing was changed\n")
                  .leaves("p.qel")
                  .run(points({"--qel", "p.qel", "--file", "p.txt", "--trace", "p.txt"}))
                  .exits(1)
                  .errHas({"--trace p.txt is p.txt, the file of --file"})
                  .leaves("p.txt")
                  .leaves("p.qel"));
  t.push_back(Case("points", "FailedWriteSaysNothingWasWrittenWithoutCountsOrNextName")
                  .file("p.txt", text)
                  .run(points({"--qel", "p.qel", "--file", "p.txt"}))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "no-space@10")
                  .exits(1)
                  .errHas({"error: ", "dobrenz points: nothing was written to p.qel"})
                  .errLacks({u8"点添加完毕！！"})
                  .outIs(""));
  t.push_back(Case("points", "StandardOutputThatCannotBeWrittenFails")
                  .file("p.txt", text)
                  .run(points({"--qel", "p.qel", "--file", "p.txt"}))
                  .outTo("/dev/full")
                  .exits(1)
                  .errHas({u8"点添加完毕！！", "dobrenz: standard output could not be written"}));
  t.push_back(Case("points", "NamesThatDoNotFitFailButTheRestIsWritten")
                  .file("p.txt", text)
                  .run(points({"--qel", "long.qel", "--file", "p.txt", "--base", "ABCDEFGHIJ9"}))
                  .exits(1)
                  .errHas({u8"超过11个字节", u8"点添加完毕！！"})
                  .present("long.qel"));
  const struct {
    const char* behaviour;
    Args args;
    const char* err;
  } usage[] = {
      {"FeatureFileRequired", {"--file", "p.txt"}, "--qel is required"},
      {"DuplicatePolicyIsOneOfThree",
       {"--qel", "points.qel", "--file", "p.txt", "--dup", "merge"},
       "--dup must be one of rename, update, ignore"},
      {"CycleIsForTheColumnLayout",
       {"--qel", "points.qel", "--file", "p.txt", "--cycle", "2"},
       "--cycle applies to --layout column"},
      {"CycleOfZeroReadsNoPoint",
       {"--qel", "points.qel", "--file", "p.txt", "--layout", "column", "--cycle", "0"},
       "--cycle 0"},
      {"PrefixIsForCustomNumbering",
       {"--qel", "points.qel", "--file", "p.txt", "--prefix", "P", "--numbering", "auto"},
       "apply to --numbering custom"},
      {"BaseLongerThanTheNameField",
       {"--qel", "points.qel", "--file", "p.txt", "--base", "ABCDEFGHIJKLM"},
       "longer than 12 bytes"},
  };
  for (const auto& u : usage)
    t.push_back(
        Case("points", u.behaviour).file("p.txt", text).run(points(u.args)).exits(2).errHas({u.err}).absent("points.qel"));
  t.push_back(Case("points", "HelpGivesTheDefaultsOfTheCommonFile")
                  .run({"points", "--help"})
                  .outHas({"--layout row --sep , --east 3 --north 4 --elev 5 --code 2"}));
}

void attachCases(std::vector<Case>& t) {
  const auto start = [](const char* behaviour) {
    return Case("attach", behaviour).file("cass.qel", qelFile(cassLikeFeatures));
  };
  const struct {
    const char* behaviour;
    Args args;
    int exitCode;
    const char* err;
  } bad[] = {
      {"FeatureFileRequired", {}, 2, "--qel is required"},
      {"OverwriteGoesWithSaveAs", {"--qel", "cass.qel", "--overwrite"}, 2, "--overwrite goes with --save-as"},
      {"UnexpectedArgument", {"--qel", "cass.qel", "more.txt"}, 2, "unexpected argument 'more.txt'"},
      {"EmptyFileName", {"--qel", "cass.qel", "--parcels="}, 2, "--parcels needs a file"},
      {"MissingFeatureFile", {"--qel", "none.qel"}, 1, "none.qel does not exist"},
      {"ExistingSaveAsTarget",
       {"--qel", "cass.qel", "--save-as", "taken.qel"},
       1,
       "taken.qel already exists: pass --overwrite"},
  };
  for (const auto& b : bad) {
    Args args = b.args;
    args.insert(args.begin(), "attach");
    t.push_back(start(b.behaviour)
                    .file("taken.qel", "")
                    .run(args)
                    .exits(b.exitCode)
                    .errHas({b.err})
                    .leaves("cass.qel")
                    .leaves("taken.qel"));
  }
  t.push_back(start("SamplesAttachToTheParcelsAndTheLabelInPlace")
                  .run({"attach", "--qel", "cass.qel", "--parcels", "{samples}/attributes/parcels.txt",
                        "--boundary-points", "{samples}/attributes/boundary_points.txt", "--houses",
                        "{samples}/attributes/houses.txt"})
                  .outIs("features: 5 (parcels 2, boundary points 1, houses 1, other 1)\n"
                         "parcels: 2 attached, 0 unmatched\n"
                         "boundary points: 1 attached, 0 unmatched\n"
                         "houses: 0 attached, 1 unmatched\n"
                         "written to cass.qel\n")
                  .dumpHas("cass.qel", {dumped(attachedParcel(parcelBlock("0101"))), dumped(attachedLabel())}));
  t.push_back(start("SaveAsLeavesTheOriginalAndPrefixGoesBeforeEachNumber")
                  .file("p.txt", "01 甲\n02 乙\n")
                  .run({"attach", "--qel", "cass.qel", "--parcels", "p.txt", "--prefix", "01", "--save-as", "out.qel",
                        "--trace", "trace.log"})
                  .outHas({"parcels: 2 attached", "boundary points: no file given, 1 feature untouched",
                           "saved as out.qel"})
                  .leaves("cass.qel")
                  .dumpHas("out.qel", {hexBytes("甲\0\0", 4), hexBytes("乙\0\0", 4)})
                  .fileHas("trace.log", {"PrepareSaveAs(", "SaveFeatureFileAs("})
                  .fileLacks("trace.log", {"CommitFeatureFile("}));
  t.push_back(start("FailedSaveSaysNothingWasWrittenWithoutTheSummary")
                  .run({"attach", "--qel", "cass.qel", "--parcels", "{samples}/attributes/parcels.txt", "--save-as",
                        "no-such-dir/out.qel"})
                  .exits(1)
                  .errHas({"error: ", "dobrenz attach: nothing was written to no-such-dir/out.qel"})
                  .outIs("")
                  .leaves("cass.qel"));
  t.push_back(start("TraceNamingTheFeatureFileIsRefused")
                  .run({"attach", "--qel", "cass.qel", "--trace", "cass.qel"})
                  .exits(1)
                  .errHas({"the file of --qel"})
                  .leaves("cass.qel"));
  t.push_back(start("UnreadableFileIsToldFoldedAndFailsButTheRestIsAttached")
                  .run({"attach", "--qel", "cass.qel", "--parcels", "none.txt", "--boundary-points",
                        "{samples}/attributes/boundary_points.txt"})
                  .exits(1)
                  .errHas({u8"打不开宗地属性文件！！！ (2 times)"})
                  .outHas({"parcels: 0 attached, 0 unmatched, 2 not attached (file cannot be opened)"})
                  .dumpHas("cass.qel", {hexBytes("钢钉", 4)}));
}

void dumpCases(std::vector<Case>& t) {
  const std::string style(188, '0');
  t.push_back(Case("dump", "PrintsTheWholeFileAsJson")
                  .file("d.qel", qelFile([](HostLibrary& host, QelHandle h) {
                          PointRecord p{};
                          copyName(p.name, "X1");
                          p.north = 1.5;
                          p.east = 2.5;
                          p.w14 = -2;
                          host.AddPoint(h, &p, 1);
                          const uint8_t block[2] = {0xAB, 0x01};
                          addFeature(host, h, 0, 7311, "", {pointRef("X1")}, {block, block + 2});
                          const double anchor[2] = {100, 200};
                          TextStyle textStyle{};
                          const QelHandle layer = host.GetTextLayer(h);
                          const int object = host.AddTextObject(layer, anchor, "砖\0", 3, &textStyle, 2);
                          void *a, *b;
                          host.GetObjectAttributes(layer, object, &a, &b);
                          host.SetAttributeField(b, a, "注记号", "12");
                          host.WriteObjectAttributes(layer, 1, object, a, b);
                        }))
                  .run({"dump", "d.qel"})
                  .outIs("{\"format\": \"qel-dump/1\",\n"
                         " \"points\": [\n"
                         "  {\"name\": \"X1\", \"raw_name\": \"583100000000000000000000\", \"w12\": 0, \"w14\": -2, "
                         "\"w16\": 0, \"code\": 0, \"north\": 1.5, \"east\": 2.5, \"elev\": 0, \"flag\": 0}\n"
                         " ],\n"
                         " \"features\": [\n"
                         "  {\"index\": 1, \"name\": \"\", \"raw_name\": \"000000000000000000000000\", \"kind\": 0, "
                         "\"code\": 7311, \"refs\": [{\"name\": \"X1\", \"kind\": 1}], \"attributes\": \"ab01\"}\n"
                         " ],\n"
                         " \"texts\": [\n"
                         "  {\"index\": 1, \"anchor\": [100, 200], \"text\": \"" +
                         std::string(u8"砖") + "\", \"raw_text\": \"d7a900\", \"length\": 3, \"style\": \"" + style +
                         "\", \"mode\": 2, \"fields\": {\"" + u8"注记号" + "\": \"12\"}}\n"
                         " ]}\n"));
  t.push_back(Case("dump", "EmptyFile")
                  .file("e.qel", qelFile([](HostLibrary&, QelHandle) {}))
                  .run({"dump", "e.qel"})
                  .outIs("{\"format\": \"qel-dump/1\",\n \"points\": [],\n \"features\": [],\n \"texts\": []}\n"));
  t.push_back(Case("dump", "StandardOutputThatCannotBeWrittenFails")
                  .file("d.qel", qelFile([](HostLibrary& host, QelHandle h) {
                          for (int i = 0; i < 2000; ++i) {
                            PointRecord p{};
                            copyName(p.name, "P" + std::to_string(i));
                            host.AddPoint(h, &p, 1);
                          }
                        }))
                  .run({"dump", "d.qel"})
                  .outTo("/dev/full")
                  .exits(1)
                  .errIs("dobrenz: standard output could not be written\n"));
  t.push_back(Case("dump", "DamagedFileFails")
                  .file("bad.qel", "garbage")
                  .run({"dump", "bad.qel"})
                  .exits(1)
                  .errHas({"dobrenz dump: bad.qel: ", "not a feature file"}));
  t.push_back(Case("dump", "MissingFileFails")
                  .run({"dump", "/nonexistent/x.qel"})
                  .exits(1)
                  .errHas({"/nonexistent/x.qel does not exist"}));
}

void runCases(std::vector<Case>& t) {
  const struct {
    const char* behaviour;
    std::string script;  // written to s.script; empty: no script file
    Args args;
    int exitCode;
    std::string out;
    std::string err;
  } cases[] = {
      {"ScriptRequired", "", {}, 2, "", "expected one script"},
      {"Help", "", {"--help"}, 0, "usage: dobrenz run SCRIPT", ""},
      {"MissingScript", "", {"missing.script"}, 1, "", "missing.script does not exist"},
      {"ClickCloses", "call 20\n  click 2\nend\n", {"s.script"}, 0, "dialog 1002 closed 2", ""},
      {"UnknownWordWithItsLine", "# comment\ncall 20\n  clack 2\nend\n", {"s.script"}, 2, "",
       "s.script:3: unknown word 'clack'"},
      {"UnknownControl", "call 20\n  show 1013\n  click 1999\nend\n", {"s.script"}, 2, "control 1013",
       "s.script:3: control 1999"},
      {"ScriptEndingWithADialogOpen", "call 20\n  show 1013\nend\n", {"s.script"}, 2, "",
       "s.script:3: the script ends while dialog 1002 is open"},
      {"AnswerWithoutAMessageBox", "call 20\n  click 2\n  answer ok\nend\n", {"s.script"}, 2, "closed 2",
       "s.script:3: no message box is open"},
      {"CommandNeedsAnOpenFile", "call 40\nend\n", {"s.script"}, 2, "",
       "s.script:1: command 40 works on the host's open file"},
      {"FileTheEngineCannotOpen", "open \"broken.qel\"\n", {"s.script"}, 1, "", "s.script:1: cannot open broken.qel"},
      {"DumpOfTheOpenFile", "open \"new.qel\"\ndump\n", {"s.script"}, 0, "\"qel-dump/1\"", ""},
  };
  for (const auto& c : cases) {
    Case row("run", c.behaviour);
    row.file("broken.qel", "not a feature file");
    if (!c.script.empty()) row.file("s.script", c.script);
    Args args = c.args;
    args.insert(args.begin(), "run");
    row.run(args).exits(c.exitCode);
    if (!c.out.empty()) row.outHas({c.out});
    if (!c.err.empty()) row.errHas({c.err});
    t.push_back(row);
  }
  t.push_back(Case("run", "CommitWritesTheOpenFile")
                  .file("s.script", "open \"made.qel\"\ncommit\n")
                  .run({"run", "s.script"})
                  .outIs("")
                  .present("made.qel"));
  // Every sample script plays to its end and logs exactly what its .expected
  // file says. The scripts name their files from the repository root and
  // write their feature files there, so each plays in a copy of the samples.
  namespace fs = std::filesystem;
  for (const auto& entry : fs::directory_iterator(fs::path(DZ_SAMPLES_DIR) / "scripts")) {
    if (entry.path().extension() != ".script") continue;
    fs::path expected = entry.path();
    expected.replace_extension(".expected");
    const std::string name = entry.path().stem().string();
    t.push_back(Case("run", "SampleScript_" + name)
                    .copyOfSamples()
                    .run({"run", "samples/scripts/" + name + ".script", "--host-dir", "samples/host"})
                    .outIs(readFile(expected.string())));
  }
}

// The sample data sets through the tools in a row, as a user would run them.
void pipelineCases(std::vector<Case>& t) {
  t.push_back(Case("pipeline", "CassOutputTakesTheSampleAttributes")
                  .run(cassSample("cass.qel"))
                  .dumpHas("cass.qel", {"\"index\": 8,"})
                  .dumpLacks("cass.qel", {"\"index\": 9,"})
                  .run({"attach", "--qel", "cass.qel", "--parcels", "{samples}/attributes/parcels.txt",
                        "--boundary-points", "{samples}/attributes/boundary_points.txt", "--save-as",
                        "attached.qel"})
                  .leaves("cass.qel")
                  // Every feature is still there; parcel 0101 keeps the
                  // coordinates, number and ownership code (1) the conversion gave it.
                  .dumpHas("attached.qel", {[] {
                             std::vector<uint8_t> converted = parcelBlock("0101");
                             putLE<double>(converted.data(), 16, 120.5);
                             converted[224] = 1;
                             return dumped(attachedParcel(converted));
                           }(),
                                            "\"index\": 8,", dumped(attachedLabel())})
                  .dumpLacks("attached.qel", {"\"index\": 9,"}));
}


// --- Files that are there but cannot be read or written as files -------------

// A file made by `make` and then given `mode`.
std::function<void(const std::string&)> withMode(std::function<void(const std::string&)> make, mode_t mode) {
  return [make, mode](const std::string& path) {
    make(path);
    chmod(path.c_str(), mode);
  };
}

void onePoint(HostLibrary& host, QelHandle h) {
  PointRecord p{};
  copyName(p.name, "OLD1");
  host.AddPoint(h, &p, 1);
}

void makeFolder(const std::string& path) { std::filesystem::create_directories(path); }
void makeFifo(const std::string& path) { mkfifo(path.c_str(), 0644); }

// A file that is there but that its user may not read is not a missing file:
// it was written over as new, with exit status 0, and cass replaced it even
// without --overwrite.
void unreadableFileCases(std::vector<Case>& t) {
  const auto secret = withMode(qelFile(onePoint), 0);
  t.push_back(Case("points", "FeatureFileItsUserMayNotReadIsLeftAlone")
                  .file("secret.qel", secret)
                  .file("a.txt", "1,,1,2,3\n")
                  .run(points({"--qel", "secret.qel", "--file", "a.txt"}))
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"dobrenz points: secret.qel: cannot be read: Permission denied"})
                  .leaves("secret.qel")
                  .directoryHolds({"a.txt", "secret.qel"}));
  t.push_back(Case("cass", "OutputItsUserMayNotReadIsRefusedAndLeftAlone")
                  .file("secret.qel", secret)
                  .run(cassSample("secret.qel"))
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"secret.qel already exists: pass --overwrite"})
                  .leaves("secret.qel")
                  .run([] {
                    Args a = cassSample("secret.qel");
                    a.push_back("--append");
                    return a;
                  }())
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"dobrenz cass: secret.qel: cannot be read: Permission denied"})
                  .errLacks({kCassDone})
                  .leaves("secret.qel")
                  .directoryHolds({"secret.qel"}));
  t.push_back(Case("epsw", "OutputItsUserMayNotReadIsRefusedAndLeftAlone")
                  .file("secret.qel", secret)
                  .run(epswSample("secret.qel"))
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"secret.qel already exists: pass --overwrite"})
                  .leaves("secret.qel")
                  .run([] {
                    Args a = epswSample("secret.qel");
                    a.push_back("--append");
                    return a;
                  }())
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"dobrenz epsw: secret.qel: cannot be read: Permission denied"})
                  .leaves("secret.qel")
                  .directoryHolds({"secret.qel"}));
  t.push_back(Case("attach", "FilesItsUserMayNotReadAreLeftAlone")
                  .file("secret.qel", secret)
                  .file("cass.qel", qelFile(cassLikeFeatures))
                  .run({"attach", "--qel", "secret.qel"})
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"dobrenz attach: secret.qel: cannot be read: Permission denied"})
                  .leaves("secret.qel")
                  // Saved as a file that is there: refused without --overwrite.
                  .run({"attach", "--qel", "cass.qel", "--save-as", "secret.qel"})
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"secret.qel already exists: pass --overwrite"})
                  .leaves("secret.qel")
                  .directoryHolds({"cass.qel", "secret.qel"}));
  t.push_back(Case("dump", "FileItsUserMayNotReadFails")
                  .file("secret.qel", secret)
                  .run({"dump", "secret.qel"})
                  .asUnprivilegedUser()
                  .exits(1)
                  .errHas({"dobrenz dump: secret.qel cannot be read: Permission denied"}));
}

// A FIFO or a device is not a feature file: the open waited for a writer
// for ever, and --overwrite replaced it with a regular file.
void notARegularFileCases(std::vector<Case>& t) {
  t.push_back(Case("points", "FeatureFileThatIsAFifoIsRefused")
                  .file("pipe.qel", makeFifo)
                  .file("a.txt", "1,,1,2,3\n")
                  .run(points({"--qel", "pipe.qel", "--file", "a.txt"}))
                  .exits(1)
                  .errHas({"dobrenz points: pipe.qel is not a regular file"})
                  .directoryHolds({"a.txt", "pipe.qel"}));
  t.push_back(Case("cass", "OutputThatIsAFifoIsRefusedEvenWithOverwrite")
                  .file("pipe.qel", makeFifo)
                  .run(cassSample("pipe.qel"))
                  .exits(1)
                  .errHas({"pipe.qel already exists: pass --overwrite"})
                  .run([] {
                    Args a = cassSample("pipe.qel");
                    a.push_back("--overwrite");
                    return a;
                  }())
                  .exits(1)
                  .errHas({"dobrenz cass: pipe.qel is not a regular file"})
                  .errLacks({kCassDone})
                  .directoryHolds({"pipe.qel"}));
  t.push_back(Case("epsw", "OutputBehindALinkToAFifoIsRefusedEvenWithOverwrite")
                  .file("pipe", makeFifo)
                  .file("link.qel", [](const std::string& path) { symlink("pipe", path.c_str()); })
                  .run([] {
                    Args a = epswSample("link.qel");
                    a.push_back("--overwrite");
                    return a;
                  }())
                  .exits(1)
                  .errHas({"dobrenz epsw: link.qel is not a regular file"})
                  .directoryHolds({"link.qel", "pipe"}));
  t.push_back(Case("attach", "SaveAsOntoAFifoIsRefusedEvenWithOverwrite")
                  .file("cass.qel", qelFile(cassLikeFeatures))
                  .file("pipe.qel", makeFifo)
                  .run({"attach", "--qel", "cass.qel", "--save-as", "pipe.qel", "--overwrite"})
                  .exits(1)
                  .errHas({"error: cannot replace pipe.qel: it is not a regular file"})
                  .outLacks({"saved as"})
                  .leaves("cass.qel")
                  .directoryHolds({"cass.qel", "pipe.qel"}));
}

// A folder (or a file that cannot be read) given as an input read as an
// empty file: the conversions said they were done, with exit status 0. Each
// is now told as a missing file is.
void unreadableInputCases(std::vector<Case>& t) {
  const struct {
    const char* behaviour;
    Args args;
    const char* err;
  } cass[] = {
      {"ExchangeFileThatIsAFolderFails", cassSampleWith("--cas", "folder"), "can't find *.cas failed!!"},
      {"ParcelBoundaryFileThatIsAFolderFails", cassSampleWith("--qs", "folder"), "can't find *.qs failed!!"},
      {"ParcelAttributeFileThatIsAFolderFails", cassSampleWith("--parcels", "folder"), u8"can't find　*.txt failed!!"},
      {"CodeTableThatIsAFolderFails", cassSampleWith("--host-dir", "host"), "can't find CASSCode.txt failed!!"},
  };
  for (const auto& c : cass)
    t.push_back(Case("cass", c.behaviour)
                    .file("folder", makeFolder)
                    .file("host/CASSCode.txt", makeFolder)
                    .run(c.args)
                    .exits(1)
                    .errHas({c.err}));
  const struct {
    const char* behaviour;
    Args args;
    const char* err;
  } epsw[] = {
      {"CorFileThatIsAFolderFails",
       {"epsw", "--cor", "folder", "--out", "o.qel", "--host-dir", "{samples}/host"},
       "can't find *.Cor failed!!"},
      {"NotFileThatIsAFolderFails",
       {"epsw", "--not", "folder", "--out", "o.qel", "--host-dir", "{samples}/host"},
       "can't find *.not failed!!"},
      {"CodeTableThatIsAFolderFails",
       {"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "o.qel", "--host-dir", "host"},
       "can't find EPSWconvert.txt failed!!"},
  };
  for (const auto& c : epsw)
    t.push_back(Case("epsw", c.behaviour)
                    .file("folder", makeFolder)
                    .file("host/EPSWconvert.txt", makeFolder)
                    .run(c.args)
                    .exits(1)
                    .errHas({c.err}));
  const std::pair<const char*, const char*> kinds[] = {
      {"--parcels", "Parcel"}, {"--boundary-points", "BoundaryPoint"}, {"--houses", "House"}};
  for (const auto& [option, kind] : kinds)
    t.push_back(Case("attach", std::string(kind) + "AttributeFileThatIsAFolderFails")
                    .file("cass.qel", qelFile(cassLikeFeatures))
                    .file("folder", makeFolder)
                    .run({"attach", "--qel", "cass.qel", option, "folder"})
                    .exits(1)
                    .errHas({u8"属性文件！！！"})
                    .outHas({"not attached (file cannot be opened)"}));
  t.push_back(Case("points", "PointFileThatIsAFolderFails")
                  .file("folder", makeFolder)
                  .run(points({"--qel", "p.qel", "--file", "folder"}))
                  .exits(1)
                  .errHas({u8"不能打开所选的文件!!"})
                  .absent("p.qel"));
  t.push_back(Case("dump", "FolderFails")
                  .file("folder.qel", makeFolder)
                  .run({"dump", "folder.qel"})
                  .exits(1)
                  .errHas({"dobrenz dump: folder.qel cannot be read: Is a directory"}));
  // A read error in the middle of a file is not its end: nothing of it is
  // converted. (The fault hits every file read past byte 500: of the sample
  // inputs only the .cas and the .cor are that long.)
  t.push_back(Case("cass", "ReadErrorInTheExchangeFileFailsAndWritesNothing")
                  .run(cassSample("o.qel"))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "read@500")
                  .exits(1)
                  .errHas({"can't find *.cas failed!!"})
                  .errLacks({kCassDone})
                  .directoryHolds({}));
  t.push_back(Case("epsw", "ReadErrorInTheCorFileFailsAndWritesNothing")
                  .run(epswSample("o.qel"))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "read@500")
                  .exits(1)
                  .errHas({"can't find *.Cor failed!!"})
                  .errLacks({u8"数据转换完毕"})
                  .directoryHolds({}));
  t.push_back(Case("points", "ReadErrorInThePointFileFailsAndWritesNothing")
                  .file("p.txt", [] {
                    std::string text;
                    for (int i = 0; i < 100; ++i) text += "1,,1,2,3\n";
                    return text;
                  }())
                  .run(points({"--qel", "p.qel", "--file", "p.txt"}))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "read@500")
                  .exits(1)
                  .errHas({u8"不能打开所选的文件!!"})
                  .directoryHolds({"p.txt"}));
}

// Saving: through links, names of any length, nothing left beside the file.
void savingCases(std::vector<Case>& t) {
  t.push_back(Case("points", "FeatureFileBehindALinkIsWrittenThroughTheLink")
                  .file("real.qel", qelFile(onePoint))
                  .file("link.qel", [](const std::string& path) { symlink("real.qel", path.c_str()); })
                  .file("a.txt", "1,,1,2,3\n")
                  .run(points({"--qel", "link.qel", "--file", "a.txt", "--base", "NEW1"}))
                  .dumpHas("real.qel", {"\"name\": \"OLD1\"", "\"name\": \"NEW1\""})
                  .directoryHolds({"a.txt", "link.qel", "real.qel"}));
  const std::string longName = std::string(251, 'n') + ".qel";
  t.push_back(Case("points", "FeatureFileNameOf255BytesIsWritten")
                  .file("a.txt", "1,,1,2,3\n")
                  .run(points({"--qel", longName, "--file", "a.txt"}))
                  .dumpHas(longName, {"\"name\": \"1\""})
                  .directoryHolds({"a.txt", longName}));
  t.push_back(Case("points", "WhatAKilledSaveLeftIsRemovedByTheNextRun")
                  .file("p.qel", qelFile(onePoint))
                  .file("p.qel.tmp~", std::string(1000, 'x'))
                  .run(points({"--qel", "p.qel", "--file", "missing.txt"}))
                  .exits(1)
                  .leaves("p.qel")
                  .directoryHolds({"p.qel"}));
  // A failed save leaves the file as it was, and nothing beside it.
  const struct {
    const char* fault;
    const char* err;
  } faults[] = {
      {"no-space@100", "error: cannot write p.qel: No space left on device"},
      {"short-write@100", "error: cannot write p.qel: the system took nothing more after 100 bytes"},
      {"sync", "error: cannot flush p.qel to disk: Input/output error"},
      {"rename", "error: cannot replace p.qel: Input/output error"},
  };
  for (const auto& f : faults) {
    std::string name = f.fault;
    name = name.substr(0, name.find('@'));
    for (char& c : name)
      if (c == '-') c = '_';
    t.push_back(Case("points", "FailedSaveLeavesTheFileAndNothingBeside_" + name)
                    .file("p.qel", qelFile(onePoint))
                    .file("a.txt", "1,,1,2,3\n")
                    .run(points({"--qel", "p.qel", "--file", "a.txt"}))
                    .withEnvironment("DZ_TEST_FILE_FAULT", f.fault)
                    .exits(1)
                    .errHas({f.err})
                    .leaves("p.qel")
                    .directoryHolds({"a.txt", "p.qel"}));
  }
  t.push_back(Case("cass", "FailedSaveWritesNoFileAndNoClosingMessage")
                  .run(cassSample("o.qel"))
                  .withEnvironment("DZ_TEST_FILE_FAULT", "no-space@1000")
                  .exits(1)
                  .errHas({"error: cannot write o.qel: No space left on device"})
                  .errLacks({kCassDone})
                  .directoryHolds({}));
}

// dobrenz export and render (docs/export.md); what the exports hold is read
// back with GDAL in tests/export/samples_export_test.cpp.
Args exportOf(Args rest) {
  rest.insert(rest.begin(), "export");
  return rest;
}

Args renderOf(Args rest) {
  rest.insert(rest.begin(), "render");
  return rest;
}

#ifdef DZ_WITH_GIS
void exportCases(std::vector<Case>& t) {
  t.push_back(Case("export", "TheSampleToAGeoPackageWithItsCrs")
                  .run(cassSample("s.qel"))
                  .run(exportOf({"s.qel", "s.gpkg", "--srs", "EPSG:4547"}))
                  .outIs("points: 20 features\nlines: 4 features\nparcels: 2 features\nboundary_points: 1 feature\n"
                         "houses: 1 feature\ntexts: 3 features\n"
                         "CRS: EPSG:4547 CGCS2000 / 3-degree Gauss-Kruger CM 114E\nwritten to s.gpkg (GPKG)\n")
                  .errIs("")
                  .present("s.gpkg"));
  t.push_back(Case("export", "GeoJsonIsAFolderOfOneFilePerLayerInUtf8")
                  .run(cassSample("s.qel"))
                  .run(exportOf({"s.qel", "json", "--format", "GeoJSON", "--layers", "points,texts"}))
                  .outHas({"points: 20 features -> json/points.geojson", "texts: 3 features -> json/texts.geojson",
                           "CRS: none", "written to json (GeoJSON, one file per layer)"})
                  .absent("json/parcels.geojson")
                  // x east, y north: the text anchor (3005 north, 5030 east) and J1 (.qs: 5000, 3100)
                  .fileHas("json/texts.geojson", {u8"\"text\": \"测绘路\"", "[ 5030.0, 3005.0 ]"})
                  .fileHas("json/points.geojson", {"\"name\": \"J1\"", "[ 5000.0, 3100.0, 0.0 ]"}));
  t.push_back(Case("export", "DxfHoldsTextEntitiesAndSaysItHasNoCrs")
                  .run(cassSample("s.qel"))
                  .run(exportOf({"s.qel", "s.dxf", "--srs", "EPSG:4547"}))
                  .outHas({"texts: 3 features", "CRS: none", "written to s.dxf (DXF)"})
                  .errHas({"DXF has no place for a coordinate system"})
                  // 测绘路 as AutoCAD reads it, on the DXF layer texts
                  .fileHas("s.dxf", {"MTEXT", "texts", "\\U+6d4b\\U+7ed8\\U+8def"}));
  t.push_back(Case("export", "ShapefilesWithTheirDbfInGbk")
                  .run(cassSample("s.qel"))
                  .run(exportOf({"s.qel", "shp", "--format", "ESRI Shapefile", "--dbf-encoding", "GBK"}))
                  .fileIs("shp/texts.cpg", "CP936")
                  .fileHas("shp/texts.dbf", {"测绘路"}));  // a GBK literal
  t.push_back(Case("export", "DanglingReferencesAreWrittenWithoutGeometryAndTold")
                  .run(epswSample("e.qel"))
                  .run(exportOf({"e.qel", "e.gpkg"}))
                  .outHas({"lines: 6 features, 1 without geometry"})
                  .errHas({"1 feature names a point that e.qel does not hold: written without geometry"}));
  t.push_back(Case("export", "AnExistingOutIsReplacedOnlyWithOverwrite")
                  .run(cassSample("s.qel"))
                  .file("taken.gpkg", "mine")
                  .run(exportOf({"s.qel", "taken.gpkg"}))
                  .exits(1)
                  .errIs("dobrenz export: taken.gpkg already exists: pass --overwrite to replace it.\n")
                  .leaves("taken.gpkg")
                  .run(exportOf({"s.qel", "taken.gpkg", "--overwrite"}))
                  .outHas({"written to taken.gpkg"})
                  .fileLacks("taken.gpkg", {"mine"}));
  t.push_back(Case("export", "AnUnwritableOutFailsAndLeavesNothing")
                  .run(cassSample("s.qel"))
                  .file("blocker", "")
                  .run(exportOf({"s.qel", "blocker/s.gpkg"}))
                  .exits(1)
                  .errHas({"dobrenz export: cannot write blocker/s.gpkg"})
                  .fileIs("blocker", ""));
  t.push_back(Case("export", "NothingToExport")
                  .file("empty.qel", qelFile([](HostLibrary&, QelHandle) {}))
                  .run(exportOf({"empty.qel", "e.gpkg"}))
                  .exits(1)
                  .errHas({"nothing to export"})
                  .absent("e.gpkg")
                  .run(exportOf({"missing.qel", "e.gpkg"}))
                  .exits(1)
                  .errHas({"missing.qel does not exist"}));
  t.push_back(Case("export", "UsageErrors")
                  .file("s.qel", qelFile(cassLikeFeatures))
                  .run(exportOf({"s.qel"}))
                  .exits(2)
                  .errIs("dobrenz export: expected a feature file and OUT\ntry 'dobrenz export --help'\n")
                  .run(exportOf({"s.qel", "a.gpkg", "--format", "NoSuch"}))
                  .exits(2)
                  .errHas({"--format NoSuch: GDAL has no driver of that name", "GPKG"})
                  .run(exportOf({"s.qel", "a.gpkg", "--srs", "EPSG:0"}))
                  .exits(2)
                  .errHas({"--srs EPSG:0: GDAL does not know this coordinate system"})
                  .run(exportOf({"s.qel", "a.gpkg", "--layers", "roads"}))
                  .exits(2)
                  .errHas({"--layers: no layer is named roads"})
                  .run(exportOf({"s.qel", "a.gpkg", "--dbf-encoding", "GBK"}))
                  .exits(2)
                  .errHas({"--dbf-encoding is for the ESRI Shapefile format only"})
                  .run(exportOf({"s.qel", "a.gpkg", "--dbf-encoding", "latin1"}))
                  .exits(2)
                  .errHas({"--dbf-encoding must be one of UTF-8, GBK, not 'latin1'"})
                  .run(exportOf({"s.qel", "a.shp"}))
                  .exits(2)
                  .errHas({"a.shp: ESRI Shapefile holds one layer per file", "--format \"ESRI Shapefile\""})
                  .absent("a.gpkg")
                  .absent("a.shp"));
  t.push_back(Case("export", "HelpListsTheOptions")
                  .run(exportOf({"--help"}))
                  .outHas({"usage: dobrenz export FILE.qel OUT [OPTIONS]", "--format F", "--srs SRS",
                           "--layers L,...", "--dbf-encoding UTF-8|GBK", "--overwrite"}));
}

void renderCases(std::vector<Case>& t) {
  t.push_back(Case("render", "TheSampleInEachFormat")
                  .run(cassSample("s.qel"))
                  .run(renderOf({"s.qel", "s.png"}))
                  .outHas({"drawn to s.png: 1600x1200 pixels", "font WenQuanYi Micro Hei"})
                  .fileHas("s.png", {"\x89PNG"})
                  .run(renderOf({"s.qel", "s.svg", "--size", "800x600", "--labels", "all"}))
                  .outHas({"drawn to s.svg: 800x600 points"})
                  .fileHas("s.svg", {"<svg", "</svg>"})
                  .run(renderOf({"s.qel", "s.pdf"}))
                  .fileHas("s.pdf", {"%PDF-", "%%EOF"}));
  t.push_back(Case("render", "AnEmptyFileGivesAMessageNotAPicture")
                  .file("empty.qel", qelFile([](HostLibrary&, QelHandle) {}))
                  .run(renderOf({"empty.qel", "e.png"}))
                  .exits(1)
                  .errHas({"nothing to draw"})
                  .absent("e.png"));
  t.push_back(Case("render", "AnExistingPictureIsReplacedOnlyWithOverwrite")
                  .run(cassSample("s.qel"))
                  .file("taken.png", "mine")
                  .run(renderOf({"s.qel", "taken.png"}))
                  .exits(1)
                  .errHas({"taken.png already exists: pass --overwrite to replace it."})
                  .leaves("taken.png")
                  .run(renderOf({"s.qel", "taken.png", "--overwrite"}))
                  .fileHas("taken.png", {"\x89PNG"}));
  t.push_back(Case("render", "UsageErrors")
                  .file("s.qel", qelFile(cassLikeFeatures))
                  .run(renderOf({"s.qel"}))
                  .exits(2)
                  .errHas({"expected a feature file and a picture to write"})
                  .run(renderOf({"s.qel", "s.jpg"}))
                  .exits(2)
                  .errHas({"s.jpg: the picture's name must end in .png, .svg or .pdf"})
                  .run(renderOf({"s.qel", "s.png", "--size", "20x20"}))
                  .exits(2)
                  .errHas({"--size 20x20: expected WIDTHxHEIGHT, each from 64 to 16000"})
                  .run(renderOf({"s.qel", "s.png", "--size", "800"}))
                  .exits(2)
                  .run(renderOf({"s.qel", "s.png", "--labels", "some"}))
                  .exits(2)
                  .errHas({"--labels must be one of none, names, all, not 'some'"})
                  .absent("s.png"));
}
#else
// A build configured without GDAL and cairo (a 32-bit one) says so for
// both commands, and writes nothing.
void withoutGisCases(std::vector<Case>& t) {
  t.push_back(Case("export", "ABuildWithoutGdalSaysSo")
                  .file("s.qel", qelFile(cassLikeFeatures))
                  .run(exportOf({"s.qel", "s.gpkg"}))
                  .exits(1)
                  .errHas({"export is not available in this build: it was configured without GDAL (DZ_GIS=OFF)."})
                  .absent("s.gpkg")
                  .run(renderOf({"s.qel", "s.png"}))
                  .exits(1)
                  .errHas({"render is not available in this build: it was configured without cairo (DZ_GIS=OFF)."})
                  .absent("s.png"));
}
#endif

// --- Real survey files --------------------------------------------------------

// A copy of a GBK sample in UTF-8, with a byte-order mark when `bom`.
std::function<void(const std::string&)> utf8CopyOf(const std::string& sample, bool bom) {
  return [sample, bom](const std::string& path) {
    std::string gbk;
    if (!readWholeFile(std::string(DZ_SAMPLES_DIR) + "/" + sample, gbk)) throw std::runtime_error("no " + sample);
    const std::string utf8 = (bom ? std::string(kUtf8Bom) : std::string()) + gbkToUtf8(gbk);
    std::FILE* f = openFile(path, "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fclose(f);
  };
}

const char kControlDat[] = "{samples}/textpoints/control_points.dat";
const std::string kPointsDone = u8"点添加完毕！！\n";

void pointsFileCases(std::vector<Case>& t) {
  t.push_back(
      Case("points", "ControlPointFileImportedWithItsNames")
          .run(points({"--qel", "gbk.qel", "--file", kControlDat, "--name-field", "1", "--skip", "1"}))
          .errIs(kPointsDone)
          .outIs("{samples}/textpoints/control_points.dat: 4 lines; 4 added, 0 renamed, 0 updated, 0 ignored, "
                 "0 refused\n1\n")
          .dumpHas("gbk.qel", {R"({"name": "GPS01", "raw_name": "475053303100000000000000", "w12": 0, "w14": 0, )"
                               R"("w16": 0, "code": 0, "north": 31204.117, "east": 53621.482, "elev": 12.35,)",
                               u8R"({"name": "控1", "raw_name": "bfd831000000000000000000", )",
                               R"("code": 2001, "north": 31172.003, "east": 53658.21, "elev": 12.775,)"})
          // The same file in UTF-8 with a byte-order mark gives the same bytes.
          .run(points({"--qel", "utf8.qel", "--file", "{samples}/textpoints/control_points_utf8.dat", "--name-field",
                       "1", "--skip", "1", "--encoding", "utf-8"}))
          .errIs(kPointsDone)
          .alike("utf8.qel", "gbk.qel")
          // Read as the host reads it, it is told to be UTF-8.
          .run(points({"--qel", "as-gbk.qel", "--file", "{samples}/textpoints/control_points_utf8.dat",
                       "--name-field", "1", "--skip", "1"}))
          .errHas({"warning: {samples}/textpoints/control_points_utf8.dat: starts with a UTF-8 byte-order mark: "
                   "give --encoding utf-8"})
          .errLacks({"looks like UTF-8"}));
  t.push_back(Case("points", "AHeaderWithoutSkipIsToldOnce")
                  .run(points({"--qel", "p.qel", "--file", kControlDat, "--name-field", "1"}))
                  // The closing message once the file is written, after the warnings.
                  .errIs("dobrenz points: warning: {samples}/textpoints/control_points.dat: line 1 looks like a "
                         "header; give --skip 1\n" +
                         kPointsDone)
                  .present("p.qel"));
  t.push_back(Case("points", "EveryWarningWithItsCountAndFirstLines")
                  .file("p.txt",
                        "K1,,1,2,3\r\n"
                        "K2,KZD,1,2,0.000\r\n"  // a text code, a real station at elevation 0
                        "K3;7;1;2;3\r\n"        // the wrong separator
                        "K4,,abc,2,3\r\n"       // E is no number
                        "\r\n"                  // a blank line
                        "K5，7，1，2，3\r\n"    // full-width commas
                        "K6,,1,2,0\r\n"
                        "K7,X1,1,2,3\r\n")
                  .run(points({"--qel", "p.qel", "--file", "p.txt"}))
                  .errIs("dobrenz points: warning: p.txt: 3 lines have fewer fields than the options read (lines 3, "
                         "5, 6): a missing value is taken as 0\n"
                         "dobrenz points: warning: p.txt: 1 line has an E, N or elevation that is not a number "
                         "(line 4): taken as 0, or as the number it begins with\n"
                         "dobrenz points: warning: p.txt: 2 points have elevation 0 (lines 2, 7): stored as 9999\n"
                         "dobrenz points: warning: p.txt: 2 codes are not whole numbers (lines 2, 8): stored as 0, "
                         "or as the number it begins with\n" +
                         kPointsDone)
                  .outHas({"p.txt: 8 lines; 8 added"})
                  // The first ten lines are named, then how many more there are.
                  .file("blank.txt", std::string(12, '\n'))
                  .run(points({"--qel", "blank.qel", "--file", "blank.txt"}))
                  .errHas({"12 lines have fewer fields than the options read (lines 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, "
                           "...)"}));
  t.push_back(Case("points", "StrictFailsOnAWarningAndLeavesTheFeatureFileAsItWas")
                  .file("clean.txt", "K1,,1,2,3\n")
                  .file("zero.txt", "K2,,1,2,0\n")
                  .run(points({"--qel", "p.qel", "--file", "clean.txt", "--strict"}))
                  .exits(0)
                  .run(points({"--qel", "p.qel", "--file", "zero.txt", "--strict", "--base", "2"}))
                  .exits(1)
                  .errHas({"warning: zero.txt: 1 point has elevation 0 (line 1): stored as 9999",
                           "dobrenz points: --strict: 1 warning: p.qel is left as it was"})
                  .outIs("")  // neither counts nor a next name: nothing was written
                  .leaves("p.qel")
                  .run(points({"--qel", "new.qel", "--file", "zero.txt", "--strict"}))
                  .exits(1)
                  .absent("new.qel")
                  // A failure too: a name that does not fit.
                  .run(points({"--qel", "new.qel", "--file", "clean.txt", "--strict", "--base", "ABCDEFGHIJK"}))
                  .exits(1)
                  .errHas({"--strict: the failures above: new.qel is left as it was"})
                  .absent("new.qel"));
  t.push_back(Case("points", "AnImportWhoseEveryPointIsIgnoredSaysWhy")
                  .run(points({"--qel", "p.qel", "--file", "{samples}/textpoints/control_points.txt"}))
                  .errLacks({"ignored"})
                  .run(points({"--qel", "p.qel", "--file", "{samples}/textpoints/control_points.txt"}))
                  .exits(0)
                  .errHas({"dobrenz points: warning: every point was ignored as a duplicate (5): give --base NAME "
                           "to continue numbering, or --dup rename\n"})
                  .file("named.txt", "A,,1,2,3\n")
                  .run(points({"--qel", "p.qel", "--file", "named.txt", "--name-field", "1"}))
                  .run(points({"--qel", "p.qel", "--file", "named.txt", "--name-field", "1"}))
                  .errHas({"every point was ignored as a duplicate (1): give --dup update or --dup rename"}));
  t.push_back(Case("points", "RepeatedNamesFollowTheDuplicatePolicy")
                  .file("p.txt", "A,,1,2,3\nB,,4,5,6\nA,,7,8,9\n")
                  .run(points({"--qel", "ignore.qel", "--file", "p.txt", "--name-field", "1"}))
                  .outIs("p.txt: 3 lines; 2 added, 0 renamed, 0 updated, 1 ignored, 0 refused\n1\n")
                  .dumpHas("ignore.qel", {R"("name": "A", "raw_name": "410000000000000000000000", "w12": 0, "w14": 0, )"
                                          R"("w16": 0, "code": 0, "north": 2, "east": 1,)"})
                  .run(points({"--qel", "rename.qel", "--file", "p.txt", "--name-field", "1", "--dup", "rename",
                               "--base", "K1"}))
                  .outIs("p.txt: 3 lines; 2 added, 1 renamed, 0 updated, 0 ignored, 0 refused\nK2\n")
                  .dumpHas("rename.qel", {R"("name": "K1", "raw_name": "4b3100000000000000000000", "w12": 0, )"
                                          R"("w14": 0, "w16": 0, "code": 0, "north": 8, "east": 7,)"})
                  .run(points({"--qel", "update.qel", "--file", "p.txt", "--name-field", "1", "--dup", "update"}))
                  .dumpHas("update.qel", {R"("name": "A", "raw_name": "410000000000000000000000", "w12": 0, "w14": 0, )"
                                          R"("w16": 0, "code": 0, "north": 8, "east": 7,)"}));
  t.push_back(Case("points", "NamesFromTheFileThatDoNotFitOrAreEmptyAreRefusedWhole")
                  .file("p.txt", "ABCDEFGHIJK,,1,2,3\nABCDEFGHIJKL,,1,2,3\n,,1,2,3\n控制点一二三,,1,2,3\n")
                  .run(points({"--qel", "p.qel", "--file", "p.txt", "--name-field", "1"}))
                  .exits(1)
                  .errHas({u8"点名超过11个字节，下列2个点未添加：\n第2行：ABCDEFGHIJKL\n第4行：控制点一二三\n",
                           "dobrenz points: p.txt: 1 point has an empty name (line 3): not imported\n"})
                  .outHas({"3 refused"})
                  .dumpHas("p.qel", {R"("name": "ABCDEFGHIJK")"}));
  t.push_back(Case("points", "PreviewPrintsWhatWouldBeStoredAndWritesNothing")
                  .run(points({"--qel", "p.qel", "--file", kControlDat, "--preview", "2", "--name-field", "1"}))
                  .errIs("dobrenz points: warning: {samples}/textpoints/control_points.dat: line 1 looks like a "
                         "header; give --skip 1\n")
                  .outIs(u8"line    name         E              N              elevation  code   stored\n"
                         u8"1       点名         0              0              9999       0      added\n"
                         u8"2       GPS01        53621.482      31204.117      12.35      0      added\n"
                         "{samples}/textpoints/control_points.dat: 5 lines would give 5 added, 0 renamed, 0 updated, "
                         "0 ignored, 0 refused; 1 warning; nothing written\n")
                  .directoryHolds({})  // no feature file, no lock, no temporary
                  .run(points({"--qel", "p.qel", "--file", kControlDat, "--name-field", "1", "--skip", "1"}))
                  // Without a number: ten points; names taken show as they would fare.
                  .run(points({"--qel", "p.qel", "--file", kControlDat, "--preview", "--name-field", "1", "--skip",
                               "1"}))
                  .outHas({"3       GPS02        53640.905      31188.764      12.61      2001   ignored: name taken\n",
                           "4 lines would give 0 added, 0 renamed, 0 updated, 4 ignored, 0 refused; 1 warning; "
                           "nothing written\n"})
                  .leaves("p.qel"));
  t.push_back(Case("points", "QuietPrintsOnlyTheNextName")
                  .run(points({"--qel", "p.qel", "--file", "{samples}/textpoints/control_points.txt", "--quiet"}))
                  .outIs("6\n"));
  t.push_back(Case("points", "SeparatorsOfRealFiles")
                  .file("full-width.txt", "K1，，1，2，3\n")
                  .file("tabs.txt", "K1\t\t1\t2\t3\n")
                  .run(points({"--qel", "a.qel", "--file", "full-width.txt", "--sep", u8"，"}))
                  .errIs(kPointsDone)
                  .dumpHas("a.qel", {R"("north": 2, "east": 1, "elev": 3,)"})
                  .run(points({"--qel", "b.qel", "--file", "tabs.txt", "--sep", "\t"}))
                  .errIs(kPointsDone)
                  .dumpHas("b.qel", {R"("north": 2, "east": 1, "elev": 3,)"}));
  const struct {
    const char* behaviour;
    Args args;
    const char* err;
  } usage[] = {
      {"NameFieldIsForTheRowLayout",
       {"--qel", "p.qel", "--file", "p.txt", "--layout", "column", "--name-field", "1"},
       "--name-field applies to --layout row"},
      {"NameFieldCountsFromOne", {"--qel", "p.qel", "--file", "p.txt", "--name-field", "0"}, "from 1"},
      {"SkipIsNotNegative", {"--qel", "p.qel", "--file", "p.txt", "--skip", "-1"}, "--skip needs"},
      {"PreviewIsNotNegative", {"--qel", "p.qel", "--file", "p.txt", "--preview=-1"}, "--preview needs"},
      {"EncodingIsGbkOrUtf8", {"--qel", "p.qel", "--file", "p.txt", "--encoding", "latin1"}, "gbk, utf-8"},
  };
  for (const auto& u : usage)
    t.push_back(Case("points", u.behaviour)
                    .file("p.txt", "1,,1,2,3\n")
                    .run(points(u.args))
                    .exits(2)
                    .errHas({u.err})
                    .absent("p.qel"));
  t.push_back(Case("points", "HelpDescribesTheOptionsForRealFiles")
                  .run({"points", "--help"})
                  .outHas({"--name-field N", "--skip N", "(default: 0)", "--preview [N]", "--encoding gbk|utf-8",
                           "(default: gbk)", "--strict", "--quiet"}));
}

void encodingCases(std::vector<Case>& t) {
  t.push_back(Case("encoding", "Utf8ReadAsGbkIsTold")
                  .file("p.txt", u8"控1,,1,2,3\n")
                  .run(points({"--qel", "p.qel", "--file", "p.txt", "--name-field", "1"}))
                  .exits(0)
                  .errHas({"dobrenz points: warning: p.txt: looks like UTF-8: give --encoding utf-8\n"})
                  .run(points({"--qel", "q.qel", "--file", "p.txt", "--name-field", "1", "--encoding", "utf-8"}))
                  .errIs(kPointsDone)
                  .dumpHas("q.qel", {u8R"("name": "控1", "raw_name": "bfd831000000000000000000")"}));
  t.push_back(Case("encoding", "ACharacterGbkCannotHoldRefusesItsLine")
                  .file("p.txt", u8"P1,,1,2,3\r\nP\U0001F600,,4,5,6\r\nP3,,7,8,9\r\n")
                  .run(points({"--qel", "p.qel", "--file", "p.txt", "--name-field", "1", "--encoding", "utf-8"}))
                  .exits(1)
                  .errHas({u8"dobrenz points: p.txt line 2: U+1F600 '\U0001F600' has no GBK form; the line was not "
                          u8"read\n"})
                  .errLacks({"does not read as UTF-8"})
                  .outHas({"p.txt: 2 lines; 2 added"})
                  .dumpHas("p.qel", {R"("name": "P3")"}));
  t.push_back(Case("encoding", "GbkReadAsUtf8IsRefusedWithAHint")
                  .file("p.txt", "控1,,1,2,3\n")
                  .run(points({"--qel", "p.qel", "--file", "p.txt", "--encoding", "utf-8"}))
                  .exits(1)
                  .errHas({"dobrenz points: p.txt line 1: byte 0xBF is not UTF-8; the line was not read\n",
                           "dobrenz points: p.txt does not read as UTF-8: if it is GBK, leave out --encoding "
                           "utf-8\n"}));
  t.push_back(Case("encoding", "Utf8CassFilesGiveTheSameFeatureFile")
                  .file("sample.cas", utf8CopyOf("cass/sample.cas", true))
                  .file("sample.qs", utf8CopyOf("cass/sample.qs", false))
                  .file("parcels.txt", utf8CopyOf("cass/parcels.txt", true))
                  .run(cassSample("gbk.qel"))
                  .run({"cass", "--cas", "sample.cas", "--qs", "sample.qs", "--parcels", "parcels.txt", "--out",
                        "utf8.qel", "--host-dir", "{samples}/host", "--encoding", "utf-8"})
                  .errIs(kCassDone + "\n")
                  .alike("utf8.qel", "gbk.qel"));
  t.push_back(Case("encoding", "Utf8EpswFilesGiveTheSameFeatureFile")
                  .file("sample.cor", utf8CopyOf("epsw/sample.cor", false))
                  .file("sample.not", utf8CopyOf("epsw/sample.not", true))
                  .run(epswSample("gbk.qel"))
                  .run({"epsw", "--cor", "sample.cor", "--not", "sample.not", "--out", "utf8.qel", "--host-dir",
                        "{samples}/host", "--encoding", "utf-8"})
                  .errIs(u8"数据转换完毕！！！\n")
                  .alike("utf8.qel", "gbk.qel"));
  t.push_back(Case("encoding", "Utf8AttributeFilesGiveTheSameBlocks")
                  .file("cass.qel", qelFile(cassLikeFeatures))
                  .file("parcels.txt", utf8CopyOf("attributes/parcels.txt", true))
                  .file("boundary_points.txt", utf8CopyOf("attributes/boundary_points.txt", false))
                  .run({"attach", "--qel", "cass.qel", "--parcels", "{samples}/attributes/parcels.txt",
                        "--boundary-points", "{samples}/attributes/boundary_points.txt", "--save-as", "gbk.qel"})
                  .run({"attach", "--qel", "cass.qel", "--parcels", "parcels.txt", "--boundary-points",
                        "boundary_points.txt", "--save-as", "utf8.qel", "--encoding", "utf-8"})
                  .errIs("dobrenz attach: warning: boundary_points.txt: 1 line matches no boundary point (0102): not "
                         "attached\n")
                  .alike("utf8.qel", "gbk.qel"));
  t.push_back(Case("encoding", "EveryConversionTakesIt")
                  .run({"cass", "--help"})
                  .outHas({"--encoding gbk|utf-8", "--strict", "--quiet"})
                  .run({"epsw", "--help"})
                  .outHas({"--encoding gbk|utf-8", "--strict", "--quiet"})
                  .run({"attach", "--help"})
                  .outHas({"--encoding gbk|utf-8", "--strict", "--quiet"}));
}

// A .cas with a broken coordinate line and a parcel that neither side file knows.
const char kCasWithGaps[] =
    "CASS9.0\n"
    "LINE\n"
    "144301,e1\n"
    "5000.000,3000.000\n"
    "5060.000,east\n"
    "nil\n"
    "LINE\n"
    "301000,0101\n"
    "5000.000,3100.000\n"
    "5020.000,3100.000\n"
    "5020.000,3120.000\n"
    "5000.000,3120.000\n"
    "nil\n"
    "301000,0109\n"
    "5000.000,3100.000\n"
    "nil\n"
    "END\n";

void cassFileCases(std::vector<Case>& t) {
  t.push_back(Case("cass", "AFileWithoutParcelsNeedsNeitherSideFile")
                  .file("lines.cas", "CASS9.0\nLINE\n144301,e1\n5000.000,3000.000\n5060.000,3000.000\nnil\nEND\n")
                  .run({"cass", "--cas", "lines.cas", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .exits(0)
                  .errIs(kCassDone + "\n")
                  .outHas({"points written:   2\nfeatures written: 1 "}));
  t.push_back(Case("cass", "ParcelsNeedingAFileNotGivenAreToldOnce")
                  .run({"cass", "--cas", "{samples}/cass/sample.cas", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .exits(1)
                  .errIs("dobrenz cass: 2 parcels need a parcel boundary file and a parcel attribute file: give --qs "
                         "FILE and --parcels FILE; they were not converted\n" +
                         kCassDone + "\n")
                  .run({"cass", "--cas", "{samples}/cass/sample.cas", "--qs", "{samples}/cass/sample.qs", "--out",
                        "p.qel", "--host-dir", "{samples}/host"})
                  .exits(1)
                  .errIs("dobrenz cass: 2 parcels need a parcel attribute file: give --parcels FILE; they were not "
                         "written\n" +
                         kCassDone + "\n"));
  t.push_back(Case("cass", "AMissingCodeTableSaysWhereItWasLookedFor")
                  .run({"cass", "--cas", "{samples}/cass/sample.cas", "--qs", "{samples}/cass/sample.qs",
                        "--parcels", "{samples}/cass/parcels.txt", "--out", "o.qel"})
                  .exits(1)
                  .errHas({"can't find CASSCode.txt failed!! (8 times)\n",
                           " (the current directory): give --host-dir DIR or set QEL_HOST_DIR to the folder that holds "
                           "it\n"})
                  .run({"cass", "--cas", "{samples}/cass/sample.cas", "--qs", "{samples}/cass/sample.qs",
                        "--parcels", "{samples}/cass/parcels.txt", "--out", "p.qel"})
                  .withEnvironment("QEL_HOST_DIR", "nowhere")
                  .exits(1)
                  .errHas({"dobrenz cass: CASSCode.txt was looked for in nowhere ($QEL_HOST_DIR): give --host-dir DIR "
                           "or set QEL_HOST_DIR to the folder that holds it\n"}));
  t.push_back(Case("cass", "WhatTheFilesHeldIsWarnedAndStrictWritesNothing")
                  .file("gaps.cas", kCasWithGaps)
                  .run({"cass", "--cas", "gaps.cas", "--qs", "{samples}/cass/sample.qs", "--parcels",
                        "{samples}/cass/parcels.txt", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .exits(0)
                  // The closing message once the output is written, after the warnings.
                  .errIs("dobrenz cass: warning: gaps.cas: 1 coordinate line does not hold two numbers (line 5): the "
                         "vertex keeps the values of an earlier one\n"
                         "dobrenz cass: warning: {samples}/cass/sample.qs: 1 parcel is not in the file (0109): "
                         "written without their boundary points\n"
                         "dobrenz cass: warning: {samples}/cass/parcels.txt: 1 parcel has no line in the file "
                         "(0109): not written\n" +
                         kCassDone + "\n")
                  .run({"cass", "--cas", "gaps.cas", "--qs", "{samples}/cass/sample.qs", "--parcels",
                        "{samples}/cass/parcels.txt", "--out", "strict.qel", "--host-dir", "{samples}/host",
                        "--strict"})
                  .exits(1)
                  .errHas({"dobrenz cass: --strict: 3 warnings: strict.qel is left as it was\n"})
                  .errLacks({kCassDone})
                  .outIs("")
                  .absent("strict.qel")
                  .run({"cass", "--cas", "gaps.cas", "--qs", "{samples}/cass/sample.qs", "--parcels",
                        "{samples}/cass/parcels.txt", "--out", "o.qel", "--host-dir", "{samples}/host", "--strict",
                        "--append"})
                  .exits(1)
                  .leaves("o.qel")
                  .run([] {
                    Args a = cassSample("clean.qel");
                    a.insert(a.end(), {"--strict", "--quiet"});
                    return a;
                  }())
                  .exits(0)
                  .outIs("")
                  .present("clean.qel"));
}

void epswFileCases(std::vector<Case>& t) {
  t.push_back(Case("epsw", "ShortLinesAreWarnedAndStrictWritesNothing")
                  .file("c.cor", "1101 2 0 $a\nP1 10 20 5 0 0\nP2 11 21\n")
                  .run({"epsw", "--cor", "c.cor", "--out", "o.qel", "--host-dir", "{samples}/host"})
                  .exits(0)
                  .errHas({"dobrenz epsw: warning: c.cor: 1 line does not hold all its fields (line 3): the fields "
                           "they lack keep the values of the line before\n"})
                  .run({"epsw", "--cor", "c.cor", "--out", "strict.qel", "--host-dir", "{samples}/host", "--strict"})
                  .exits(1)
                  .errHas({"dobrenz epsw: --strict: 1 warning: strict.qel is left as it was\n"})
                  .absent("strict.qel"));
  t.push_back(Case("epsw", "AMissingCodeTableSaysWhereItWasLookedFor")
                  .run({"epsw", "--cor", "{samples}/epsw/sample.cor", "--out", "o.qel", "--host-dir", "."})
                  .exits(1)
                  .errHas({"can't find EPSWconvert.txt failed!! (5 times)\n",
                           "dobrenz epsw: EPSWconvert.txt was looked for in . (--host-dir): give --host-dir DIR or "
                           "set QEL_HOST_DIR to the folder that holds it\n"}));
}

void attachFileCases(std::vector<Case>& t) {
  const char kParcels[] =
      "0101 甲 1 2 3 4 5.5 6.5 8 9 10\n"
      "0102 乙\n"                          // short of its fields
      "0109 丙 1 2 3 4 5.5 6.5 8 9 10\n";  // no such parcel
  t.push_back(Case("attach", "WhatTheFilesHeldIsWarnedAndStrictLeavesTheFile")
                  .file("cass.qel", qelFile(cassLikeFeatures))
                  .file("p.txt", kParcels)
                  .run({"attach", "--qel", "cass.qel", "--parcels", "p.txt", "--strict"})
                  .exits(1)
                  .errIs("dobrenz attach: warning: p.txt: 1 line does not hold all 11 fields (line 2): the fields "
                         "they lack keep the values of the line before\n"
                         "dobrenz attach: warning: p.txt: 1 line matches no parcel (0109): not attached\n"
                         "dobrenz attach: --strict: 2 warnings: cass.qel is left as it was\n")
                  .outIs("")
                  .leaves("cass.qel")
                  .run({"attach", "--qel", "cass.qel", "--parcels", "p.txt", "--quiet"})
                  .exits(0)
                  .errHas({"1 line matches no parcel (0109)"})
                  .outIs(""));
}

}  // namespace

std::vector<Case> allCases() {
  std::vector<Case> table;
  programCases(table);
  skeletonCases(table);
  cassCases(table);
  epswCases(table);
  pointsCases(table);
  attachCases(table);
  dumpCases(table);
  runCases(table);
  pipelineCases(table);
  unreadableFileCases(table);
  notARegularFileCases(table);
  unreadableInputCases(table);
  savingCases(table);
#ifdef DZ_WITH_GIS
  exportCases(table);
  renderCases(table);
#else
  withoutGisCases(table);
#endif
  pointsFileCases(table);
  encodingCases(table);
  cassFileCases(table);
  epswFileCases(table);
  attachFileCases(table);
  return table;
}

}  // namespace dz::test::cli
