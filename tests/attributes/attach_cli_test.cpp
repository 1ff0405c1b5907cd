#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/json.h"
#include "standin/engine.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using test::runCommand;

// The dump's form of an attribute block.
std::string dumped(const std::vector<uint8_t>& block) {
  return "\"attributes\": \"" + hexBytes(block.data(), block.size()) + "\"";
}

class CliAttach : public ::testing::Test {
 protected:
  // A file as the CASS conversion of the CASS sample leaves it: two parcels,
  // the label of parcel 0101, a house without a name and a line feature.
  void SetUp() override {
    FeatureFileEngine engine(".");
    const QelHandle h = engine.OpenFeatureFile(qel.c_str());
    test::addParcel(engine, h, "0101");
    test::addParcel(engine, h, "0102");
    test::addParcelLabel(engine, h, "0101");
    test::addHouse(engine, h, "", "砖", 2);
    test::addFeature(engine, h, kLineFeature, 4410, "", {test::pointRef("X1"), test::pointRef("X2")}, {});
    engine.CommitFeatureFile(h);
  }
  std::string dump(const std::string& path) {
    const auto r = runCommand(DOBRENZ_EXE, {"dump", path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
  }

  test::TempDir dir;
  std::string qel = dir.file("cass.qel");
  const std::string samples = DZ_ATTRIBUTE_SAMPLES;
};

TEST_F(CliAttach, UsageAndBadInput) {
  dir.write("taken.qel", "");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string errContains;
  } cases[] = {
      {{"attach"}, 2, "--qel is required"},
      {{"attach", "--qel", qel, "--overwrite"}, 2, "--overwrite goes with --save-as"},
      {{"attach", "--qel", qel, "more.txt"}, 2, "unexpected argument 'more.txt'"},
      {{"attach", "--qel", qel, "--parcels="}, 2, "--parcels needs a file"},
      {{"attach", "--qel", dir.file("none.qel")}, 1, "none.qel does not exist"},
      {{"attach", "--qel", qel, "--save-as", dir.file("taken.qel")}, 1, "taken.qel already exists: pass --overwrite"},
  };
  const std::string before = test::readFile(qel);
  for (const auto& c : cases) {
    const auto r = runCommand(DOBRENZ_EXE, c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back() << "\n" << r.err;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::readFile(qel), before);
}

TEST_F(CliAttach, SamplesAttachToTheParcelsAndTheLabelInPlace) {
  const auto r = runCommand(DOBRENZ_EXE, {"attach", "--qel", qel, "--parcels", samples + "/parcels.txt",
                                          "--boundary-points", samples + "/boundary_points.txt", "--houses",
                                          samples + "/houses.txt"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "features: 5 (parcels 2, boundary points 1, houses 1, other 1)\n"
            "parcels: 2 attached, 0 unmatched\n"
            "boundary points: 1 attached, 0 unmatched\n"
            "houses: 0 attached, 1 unmatched\n"
            "written to " + qel + "\n");
  std::vector<uint8_t> parcel = test::parcelBlock("0101");
  putLE<double>(parcel.data(), 0, 1250.75);
  putLE<double>(parcel.data(), 8, 860.5);
  copyField(reinterpret_cast<char*>(parcel.data()) + 80, 20, "教育用地");
  copyField(reinterpret_cast<char*>(parcel.data()) + 100, 80, "城关镇第一小学");
  copyField(reinterpret_cast<char*>(parcel.data()) + 205, 15, "G1-3");
  std::vector<uint8_t> label(kBoundaryPointAttributesSize, 0);
  copyField(reinterpret_cast<char*>(label.data()), 10, "钢钉");
  copyField(reinterpret_cast<char*>(label.data()) + 10, 10, "围墙");
  copyField(reinterpret_cast<char*>(label.data()) + 20, 7, "J1");
  copyField(reinterpret_cast<char*>(label.data()) + 27, 9, "解析法");
  const std::string json = dump(qel);
  EXPECT_NE(json.find(dumped(parcel)), std::string::npos) << json;
  EXPECT_NE(json.find(dumped(label)), std::string::npos) << json;
}

TEST_F(CliAttach, SaveAsLeavesTheOriginalAndPrefixGoesBeforeEachNumber) {
  const std::string parcels = dir.write("p.txt", "01 甲\n02 乙\n");
  const std::string out = dir.file("out.qel");
  const std::string before = test::readFile(qel);
  const auto r = runCommand(DOBRENZ_EXE, {"attach", "--qel", qel, "--parcels", parcels, "--prefix", "01", "--save-as",
                                          out, "--trace", dir.file("trace.log")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("parcels: 2 attached"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("boundary points: no file given, 1 feature untouched"), std::string::npos) << r.out;
  EXPECT_EQ(test::readFile(qel), before);
  const std::string json = dump(out);
  EXPECT_NE(json.find(hexBytes("甲\0\0", 4)), std::string::npos);
  EXPECT_NE(json.find(hexBytes("乙\0\0", 4)), std::string::npos);
  const std::string trace = test::readFile(dir.file("trace.log"));
  const size_t prepare = trace.find("PrepareSaveAs(");
  EXPECT_NE(prepare, std::string::npos) << trace;
  EXPECT_LT(prepare, trace.find("SaveFeatureFileAs("));
  EXPECT_EQ(trace.find("CommitFeatureFile("), std::string::npos);
}

TEST_F(CliAttach, UnreadableFileIsToldFoldedAndFailsButTheRestIsAttached) {
  const auto r = runCommand(DOBRENZ_EXE, {"attach", "--qel", qel, "--parcels", dir.file("none.txt"),
                                          "--boundary-points", samples + "/boundary_points.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(u8"打不开宗地属性文件！！！ (2 times)"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("parcels: 0 attached, 0 unmatched, 2 not attached (file cannot be opened)"), std::string::npos)
      << r.out;
  EXPECT_NE(dump(qel).find(hexBytes("钢钉", 4)), std::string::npos);
}

}  // namespace
}  // namespace dz
