// Shared by the CASS tests: a temporary host directory holding the code
// table and the input files, a stand-in engine, and the converted output
// read back from the committed feature file.
//
// Host records are packed, so their fields may be misaligned: the tests
// compare them as values (`EXPECT_EQ(+p.north, 2.5)`), never by binding a
// reference to the field.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "cass/cass_converter.h"
#include "standin/engine.h"
#include "standin/feature_store.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz::test {

class CassFixture : public ::testing::Test {
 protected:
  // Codes used by most tests: 123 an ordinary line, 456 a circle, 2120 a
  // house, 111 a skipped feature, and the two parcel codes.
  static constexpr const char* kTable =
      "123 4301\n456 5610\n789 3120\n141101 2120\n141102 2130\n999 111\n"
      "233 2330\n231 2317\n731 7317\n300000 7310\n301000 7311\n";

  void SetUp() override { dir.write("CASSCode.txt", kTable); }

  // Converts `cas` (with the .qs and parcel attribute texts when given) and
  // reads the output back. `ran` tells what Run answered.
  const FeatureStore& convert(const std::string& cas, const std::string& qs = "", const std::string& parcels = "") {
    dir.write("in.cas", cas);
    if (!qs.empty()) dir.write("in.qs", qs);
    if (!parcels.empty()) dir.write("in.txt", parcels);
    return convertFiles();
  }

  const FeatureStore& convertFiles() {
    host = std::make_unique<RecordingHost>(dir.path());
    converter = std::make_unique<CCassConverter>(*host, messages);
    converter->m_strQsPath = dir.file("in.qs");
    converter->m_strOutputPath = dir.file("out.qel");
    converter->m_strParcelPath = dir.file("in.txt");
    converter->m_strCasPath = dir.file("in.cas");
    ran = converter->Run();
    output = FeatureStore();
    std::string bytes, reason;
    if (readWholeFileIfAny(dir.file("out.qel"), bytes)) {
      EXPECT_TRUE(decodeQel(bytes, output, reason)) << reason;
    }
    return output;
  }

  const PointRecord* point(const std::string& name) const { return output.findPoint(NameKey::of(name)); }

  static std::string refNames(const StoredFeature& f) {
    std::string names;
    for (size_t i = 0; i < f.refs.size(); ++i) names += (i ? " " : "") + nameText(f.refs[i].name);
    return names;
  }

  TempDir dir;
  RecordingMessages messages;
  std::unique_ptr<RecordingHost> host;  // every host call is recorded
  std::unique_ptr<CCassConverter> converter;
  FeatureStore output;
  bool ran = false;

 private:
  static bool readWholeFileIfAny(const std::string& path, std::string& bytes);
};

inline bool CassFixture::readWholeFileIfAny(const std::string& path, std::string& bytes) {
  return fileExists(path) && readWholeFile(path, bytes);
}

}  // namespace dz::test
