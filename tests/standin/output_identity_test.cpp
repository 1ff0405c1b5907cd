// Every conversion's output and every dump stay byte for byte what they were:
// the samples and generated inputs of some size go through the dobrenz
// binary, and the size and FNV-1a hash of each file written and of each dump are
// compared with the list in output_checksums.txt.
//
// The list was written by the dobrenz of the code before the work on speed
// and memory. To write it anew (after a change that is meant to change the
// outputs): DZ_RECORD_OUTPUT_CHECKSUMS=1 build/native/tests/standin/output_identity_tests
// writes the list in the source tree; DZ_DOBRENZ names another dobrenz to run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "bench/inputs.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

const std::string kSamples = DZ_SAMPLES_DIR;

std::string dobrenz() {
  const char* other = std::getenv("DZ_DOBRENZ");
  return other && *other ? other : DOBRENZ_EXE;
}

class OutputIdentity : public ::testing::Test {
 protected:
  // Runs dobrenz and records its exit status under `name`.
  void run(const std::string& name, const std::vector<std::string>& args) {
    const test::CommandResult r = test::runCommand(dobrenz(), args, "", dir.path());
    record(name + ".exit", std::to_string(r.exitCode));
  }
  // Records the file's size and hash, and the same of its dump.
  void output(const std::string& name, const std::string& file) {
    const std::string bytes = test::readFile(dir.file(file));
    record(name, summary(bytes));
    const test::CommandResult d = test::runCommand(dobrenz(), {"dump", file}, "", dir.path());
    record(name + ".dump", summary(d.out) + " exit " + std::to_string(d.exitCode));
  }

  // FNV-1a, 64 bits: a .qel ends with the CRC-32 of what precedes it, and
  // the CRC-32 of any such file is one constant.
  static std::string summary(const std::string& bytes) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001B3ull;
    char text[64];
    std::snprintf(text, sizeof text, "%zu %016llx", bytes.size(), static_cast<unsigned long long>(h));
    return text;
  }
  void record(const std::string& name, const std::string& value) {
    ASSERT_TRUE(seen.emplace(name, value).second) << name;
  }

  static std::map<std::string, std::string> readList(const std::string& path) {
    std::map<std::string, std::string> list;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      const size_t space = line.find(' ');
      list[line.substr(0, space)] = line.substr(space + 1);
    }
    return list;
  }

  // Compares what was seen with the list, or enters it there when asked.
  void compare() {
    const std::string listPath = DZ_OUTPUT_CHECKSUMS;
    std::map<std::string, std::string> expected = readList(listPath);
    if (std::getenv("DZ_RECORD_OUTPUT_CHECKSUMS")) {
      for (const auto& [name, value] : seen) expected[name] = value;
      std::ofstream out(listPath);
      out << "# name size fnv1a-64 (of each output and its dump), written by output_identity_test\n";
      for (const auto& [name, value] : expected) out << name << " " << value << "\n";
      GTEST_SKIP() << "wrote " << listPath;
    }
    for (const auto& [name, value] : seen) {
      const auto it = expected.find(name);
      if (it == expected.end()) {
        ADD_FAILURE() << name << " is not in " << listPath;
        continue;
      }
      EXPECT_EQ(value, it->second) << name << " differs from what the earlier code wrote";
    }
  }

  test::TempDir dir;
  std::map<std::string, std::string> seen;
};

TEST_F(OutputIdentity, SamplesConvertAndDumpAsBefore) {
  const std::string host = kSamples + "/host";
  run("cass-sample", {"cass", "--host-dir", host, "--cas", kSamples + "/cass/sample.cas", "--qs",
                      kSamples + "/cass/sample.qs", "--parcels", kSamples + "/cass/parcels.txt", "--out", "cass.qel"});
  output("cass-sample", "cass.qel");
  run("attach-sample", {"attach", "--qel", "cass.qel", "--parcels", kSamples + "/attributes/parcels.txt",
                        "--boundary-points", kSamples + "/attributes/boundary_points.txt", "--houses",
                        kSamples + "/attributes/houses.txt", "--save-as", "attached.qel"});
  output("attach-sample", "attached.qel");
  run("epsw-sample", {"epsw", "--host-dir", host, "--cor", kSamples + "/epsw/sample.cor", "--not",
                      kSamples + "/epsw/sample.not", "--out", "epsw.qel", "--far-points", "convert"});
  output("epsw-sample", "epsw.qel");
  run("points-sample-row", {"points", "--qel", "epsw.qel", "--file", kSamples + "/textpoints/control_points.txt",
                            "--base", "K12"});
  output("points-sample-row", "epsw.qel");
  run("points-sample-column", {"points", "--qel", "column.qel", "--file", kSamples + "/textpoints/column_points.txt",
                               "--layout", "column", "--value-field", "2", "--sep", "", "--prefix", "C"});
  output("points-sample-column", "column.qel");
  compare();
}

TEST_F(OutputIdentity, GeneratedInputsConvertAndDumpAsBefore) {
  const std::string in = dir.file("in");
  ASSERT_EQ(std::system(("mkdir -p '" + in + "'").c_str()), 0);
  bench::writeCassInputs(in, 30000);
  run("cass-30000", {"cass", "--host-dir", in, "--cas", in + "/in.cas", "--qs", in + "/in.qs", "--parcels",
                     in + "/in.txt", "--out", "cass.qel"});
  output("cass-30000", "cass.qel");

  bench::writeEpswInputs(in, 30000, 3000);
  run("epsw-30000", {"epsw", "--host-dir", in, "--cor", in + "/in.cor", "--not", in + "/in.not", "--out",
                     "epsw.qel", "--far-points", "convert"});
  output("epsw-30000", "epsw.qel");

  bench::writePointFile(in + "/pointfile.txt", 30000);
  run("points-30000", {"points", "--qel", "points.qel", "--file", in + "/pointfile.txt"});
  output("points-30000", "points.qel");
  // The same file again from the first name: every point is renamed.
  run("points-30000-renamed", {"points", "--qel", "points.qel", "--file", in + "/pointfile.txt", "--dup", "rename"});
  output("points-30000-renamed", "points.qel");
  run("points-30000-updated", {"points", "--qel", "points.qel", "--file", in + "/pointfile.txt", "--dup", "update",
                               "--base", "100"});
  output("points-30000-updated", "points.qel");

  // The generated feature file is written by the engine linked here: its
  // checksum pins the encoder too.
  bench::writeAttachInputs(in, 30000);
  output("attach-input-30000", "in/attach.qel");
  run("attach-30000", {"attach", "--qel", "in/attach.qel", "--parcels", in + "/parcels.txt", "--boundary-points",
                       in + "/points.txt", "--houses", in + "/houses.txt", "--save-as", "attached.qel"});
  output("attach-30000", "attached.qel");
  compare();
}

}  // namespace
}  // namespace dz
