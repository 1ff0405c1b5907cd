// Shared by the EPSW tests: a converter over a recorded stand-in engine, with
// the host directory, the input files and the output file in one temporary
// directory. Fields of the packed host records are compared by value
// (EXPECT_EQ(+record.field, ...)): a reference to one may be misaligned.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "epsw/epsw_converter.h"
#include "standin/qel_format.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz::test {

using Names = std::vector<std::string>;

inline Names refNames(const StoredFeature& f) {
  Names names;
  for (const PointRef& r : f.refs()) names.push_back(nameText(r.name));
  return names;
}

class EpswTest : public ::testing::Test {
 protected:
  void writeTable(const std::string& text) { dir.write("EPSWconvert.txt", text); }

  // The confirm work on these file contents.
  bool convert(const std::string& cor, const std::string& note) {
    converter.m_strCorPath = dir.write("in.cor", cor);
    converter.m_strNotPath = dir.write("in.not", note);
    converter.m_strOutputPath = out;
    return converter.OnOK();
  }

  // The output file as committed.
  FeatureStore committed() const {
    FeatureStore store;
    std::string reason;
    EXPECT_TRUE(decodeQel(readFile(out), store, reason)) << reason;
    return store;
  }

  TempDir dir;
  std::string out = dir.file("out.qel");
  RecordingHost host{dir.path()};
  RecordingMessages messages;
  CEpswConverter converter{host, messages};
};

}  // namespace dz::test
