// Shared by the CASS tests: a temporary host directory holding the code
// table and the input files, a recording stand-in engine, and the converted
// output read back from the committed feature file.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/json.h"
#include "cass/cass_converter.h"
#include "standin/qel_format.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz::test {

class CassFixture : public ::testing::Test {
 protected:
  // 123 an ordinary line, 456 a circle, 141101/141102 houses, 999 skipped,
  // 233/231 rotated, 731 closed, and the two parcel codes.
  void SetUp() override {
    dir.write("CASSCode.txt",
              "123 4301\n456 5610\n789 3120\n141101 2120\n141102 2130\n999 111\n233 2330\n231 2317\n731 7317\n"
              "300000 7310\n301000 7311\n");
  }

  // Converts `cas` (with the .qs and parcel attribute texts when given) into
  // a new out.qel, or into the one there with `keepOutput`, and reads the
  // output back; `ran` is what Run answered.
  const FeatureStore& convert(const std::string& cas, const std::string& qs = "", const std::string& parcels = "") {
    if (!keepOutput) std::remove(dir.file("out.qel").c_str());
    dir.write("in.cas", cas);
    if (!qs.empty()) dir.write("in.qs", qs);
    if (!parcels.empty()) dir.write("in.txt", parcels);
    host = std::make_unique<RecordingHost>(dir.path());
    converter = std::make_unique<CCassConverter>(*host, messages);
    converter->m_strQsPath = dir.file("in.qs");
    converter->m_strOutputPath = dir.file("out.qel");
    converter->m_strParcelPath = dir.file("in.txt");
    converter->m_strCasPath = dir.file("in.cas");
    ran = converter->Run();
    output = FeatureStore();
    std::string bytes, reason;
    if (ran && readWholeFile(dir.file("out.qel"), bytes)) {
      EXPECT_TRUE(decodeQel(bytes, output, reason)) << reason;
    }
    return output;
  }

  // Points as name(north,east) with "!" for a boundary point, then features
  // as code/kind[name:vertex-kind ...] and a block length when there is one.
  std::string summary() const {
    std::string s;
    for (const PointRecord& p : output.points())
      s += nameText(p.name) + "(" + jsonNumber(p.north) + "," + jsonNumber(p.east) + (p.flag ? ")! " : ") ");
    s += "|";
    for (const StoredFeature& f : output.features()) {
      s += " " + std::to_string(f.header.code) + "/" + std::to_string(f.header.kind) + "[";
      for (size_t i = 0; i < f.refs().size(); ++i)
        s += (i ? " " : "") + nameText(f.refs()[i].name) + ":" + std::to_string(f.refs()[i].kind);
      s += "]" + (f.attributes().empty() ? "" : "#" + std::to_string(f.attributes().size()));
    }
    return s;
  }

  TempDir dir;
  RecordingMessages messages;
  std::unique_ptr<RecordingHost> host;  // every host call is recorded
  std::unique_ptr<CCassConverter> converter;
  FeatureStore output;
  bool ran = false;
  bool keepOutput = false;
};

// A case of input and the summary it must give.
struct ConversionCase {
  const char* behaviour;
  std::string cas;
  std::string expected;
};

}  // namespace dz::test
