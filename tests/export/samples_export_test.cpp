// dobrenz export on the samples as a user runs it (cass, attach, epsw,
// points, then export), read back with GDAL itself: layer names, feature
// counts equal to those of dobrenz dump, geometry types, chosen coordinates,
// decoded fields and texts in UTF-8, the CRS. What the command says and
// refuses is in the dobrenz table (tests/cli/cli_cases.cpp).
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include <map>

#include "base/fixed_field.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using test::runCommand;

const std::string kSamples = SAMPLES_DIR;

test::CommandResult dobrenz(const std::vector<std::string>& args) { return runCommand(DOBRENZ_EXE, args); }

// The sample data sets through the tools in a row, once for all tests.
class SamplesExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new test::TempDir;
    const std::string host = kSamples + "/host";
    ASSERT_EQ(dobrenz({"cass", "--host-dir", host, "--cas", kSamples + "/cass/sample.cas", "--qs",
                       kSamples + "/cass/sample.qs", "--parcels", kSamples + "/cass/parcels.txt", "--out",
                       dir->file("cass.qel")})
                  .exitCode,
              0);
    ASSERT_EQ(dobrenz({"attach", "--qel", dir->file("cass.qel"), "--parcels", kSamples + "/attributes/parcels.txt",
                       "--boundary-points", kSamples + "/attributes/boundary_points.txt", "--save-as",
                       dir->file("attached.qel")})
                  .exitCode,
              0);
    ASSERT_EQ(dobrenz({"epsw", "--host-dir", host, "--cor", kSamples + "/epsw/sample.cor", "--not",
                       kSamples + "/epsw/sample.not", "--out", dir->file("epsw.qel")})
                  .exitCode,
              0);
    ASSERT_EQ(dobrenz({"points", "--qel", dir->file("epsw.qel"), "--file", kSamples + "/textpoints/control_points.txt"})
                  .exitCode,
              0);
    GDALAllRegister();
  }
  static void TearDownTestSuite() { delete dir; }

  // Layer -> feature count, from the lines of `dobrenz dump`: points, the
  // features by kind, and the texts.
  static std::map<std::string, int> dumpCounts(const std::string& qel) {
    const test::CommandResult r = dobrenz({"dump", qel});
    EXPECT_EQ(r.exitCode, 0);
    std::map<std::string, int> counts;
    size_t at = 0;
    while (at < r.out.size()) {
      const size_t end = r.out.find('\n', at);
      const std::string line = r.out.substr(at, end - at);
      at = end == std::string::npos ? r.out.size() : end + 1;
      if (line.find("\"w12\"") != std::string::npos) ++counts["points"];
      if (line.find("\"anchor\"") != std::string::npos) ++counts["texts"];
      if (line.find("\"refs\"") == std::string::npos) continue;
      const std::string kind = line.substr(line.find("\"kind\": ") + 8, 2);
      ++counts[kind == "1," ? "parcels" : kind == "2," ? "boundary_points" : kind == "3," ? "houses" : "lines"];
    }
    return counts;
  }

  static GDALDatasetUniquePtr open(const std::string& path) {
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  }

  static test::TempDir* dir;
};

test::TempDir* SamplesExport::dir = nullptr;

// The first feature of `layer` whose field `field` is `value`.
OGRFeatureUniquePtr findFeature(OGRLayer* layer, const char* field, const std::string& value) {
  if (!layer) return nullptr;
  layer->ResetReading();
  while (OGRFeatureUniquePtr f{layer->GetNextFeature()})
    if (value == f->GetFieldAsString(field)) return f;
  return nullptr;
}

TEST_F(SamplesExport, EveryFormatHoldsAsManyFeaturesPerLayerAsTheDumpShows) {
  // The CASS sample in every format; the EPSW sample (with a feature that
  // cannot be placed) where that makes a difference: GeoPackage and DXF.
  for (const char* qel : {"attached.qel", "epsw.qel"}) {
    const std::map<std::string, int> expected = dumpCounts(dir->file(qel));
    for (const char* format : {"GPKG", "GeoJSON", "ESRI Shapefile", "CSV", "DXF"}) {
      if (std::string(qel) == "epsw.qel" && std::string(format) != "GPKG" && std::string(format) != "DXF") continue;
      SCOPED_TRACE(std::string(qel) + " as " + format);
      const std::string out = dir->file(std::string(qel) + "." + format);
      const test::CommandResult r = dobrenz({"export", dir->file(qel), out, "--format", format});
      ASSERT_EQ(r.exitCode, 0) << r.err;
      std::map<std::string, int> counts;
      if (std::string(format) == "DXF") {
        // One entity per feature, on a DXF layer of the layer's name; a
        // feature without a place cannot be an entity and is counted as left out.
        GDALDatasetUniquePtr ds = open(out);
        ASSERT_TRUE(ds);
        for (auto& f : *ds->GetLayer(0)) ++counts[f->GetFieldAsString("Layer")];
        for (const auto& [layer, n] : expected) {
          const size_t line = r.out.find(layer + ": ");
          const size_t leftOut = r.out.find(" without geometry left out", line);
          if (line != std::string::npos && leftOut != std::string::npos && leftOut < r.out.find('\n', line))
            counts[layer] += std::stoi(r.out.substr(r.out.rfind(", ", leftOut) + 2));
        }
        EXPECT_EQ(counts, expected) << r.out;
        continue;
      }
      for (const auto& [layer, n] : expected) {
        const bool folder = std::string(format) != "GPKG";
        GDALDatasetUniquePtr ds = open(folder ? out + "/" + layer + "." +
                                                    (std::string(format) == "GeoJSON" ? "geojson"
                                                     : std::string(format) == "CSV" ? "csv" : "shp")
                                              : out);
        ASSERT_TRUE(ds) << layer;
        OGRLayer* l = folder ? ds->GetLayer(0) : ds->GetLayerByName(layer.c_str());
        ASSERT_NE(l, nullptr) << layer;
        counts[layer] = static_cast<int>(l->GetFeatureCount());
      }
      EXPECT_EQ(counts, expected);
    }
  }
}

TEST_F(SamplesExport, GeoPackageOfTheCassSampleHasItsGeometriesFieldsAndCrs) {
  const std::string out = dir->file("survey.gpkg");
  const test::CommandResult r = dobrenz({"export", dir->file("attached.qel"), out, "--srs", "EPSG:4547"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("CRS: EPSG:4547"), std::string::npos) << r.out;
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  std::vector<std::string> names;
  for (OGRLayer* l : ds->GetLayers()) {
    names.push_back(l->GetName());
    ASSERT_NE(l->GetSpatialRef(), nullptr);
    EXPECT_STREQ(l->GetSpatialRef()->GetAuthorityCode(nullptr), "4547");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"points", "lines", "parcels", "boundary_points", "houses", "texts"}));
  EXPECT_EQ(ds->GetLayerByName("points")->GetGeomType(), wkbPoint25D);
  EXPECT_EQ(ds->GetLayerByName("lines")->GetGeomType(), wkbCurve);  // the sample has a circle
  EXPECT_EQ(ds->GetLayerByName("parcels")->GetGeomType(), wkbPolygon);
  EXPECT_EQ(ds->GetLayerByName("houses")->GetGeomType(), wkbPolygon);

  // J1 of the .qs file: second coordinate 5000 (east), first 3100 (north).
  OGRFeatureUniquePtr j1 = findFeature(ds->GetLayerByName("points"), "name", "J1");
  ASSERT_TRUE(j1);
  EXPECT_EQ(j1->GetGeometryRef()->toPoint()->getX(), 5000.0);
  EXPECT_EQ(j1->GetGeometryRef()->toPoint()->getY(), 3100.0);
  EXPECT_EQ(j1->GetFieldAsInteger("flag"), 1);

  OGRFeatureUniquePtr parcel = findFeature(ds->GetLayerByName("parcels"), "parcel_no", "0101");
  ASSERT_TRUE(parcel);
  EXPECT_STREQ(parcel->GetFieldAsString("owner"), u8"城关镇第一小学");
  EXPECT_STREQ(parcel->GetFieldAsString("land_use"), u8"教育用地");
  EXPECT_STREQ(parcel->GetFieldAsString("map_sheet"), "G1-3");
  EXPECT_EQ(parcel->GetFieldAsDouble("area"), 1250.75);
  EXPECT_STREQ(parcel->GetFieldAsString("ownership"), u8"国有土地所有权");
  OGREnvelope box;
  parcel->GetGeometryRef()->getEnvelope(&box);
  EXPECT_EQ(box.MinX, 5000.0);
  EXPECT_EQ(box.MaxX, 5020.0);
  EXPECT_EQ(box.MinY, 3100.0);
  EXPECT_EQ(box.MaxY, 3120.0);

  OGRLayer* houses = ds->GetLayerByName("houses");
  ASSERT_EQ(houses->GetFeatureCount(), 1);
  OGRFeatureUniquePtr house{houses->GetFeature(1)};
  EXPECT_STREQ(house->GetFieldAsString("structure"), u8"砖");
  EXPECT_EQ(house->GetFieldAsInteger("floors"), 2);

  OGRFeatureUniquePtr text = findFeature(ds->GetLayerByName("texts"), "text", u8"测绘路");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->GetGeometryRef()->toPoint()->getX(), 5030.0);
  EXPECT_EQ(text->GetGeometryRef()->toPoint()->getY(), 3005.0);

  OGRFeatureUniquePtr mark = findFeature(ds->GetLayerByName("boundary_points"), "point", "0101");
  ASSERT_TRUE(mark);
  EXPECT_STREQ(mark->GetFieldAsString("marker"), u8"钢钉");
  EXPECT_STREQ(mark->GetFieldAsString("method"), u8"解析法");
}

TEST_F(SamplesExport, TheCrsReachesGeoJsonAndShapefiles) {
  OGRSpatialReference expected;
  expected.importFromEPSG(4547);
  for (const char* format : {"GeoJSON", "ESRI Shapefile"}) {
    SCOPED_TRACE(format);
    const std::string out = dir->file(std::string("crs-") + format);
    ASSERT_EQ(dobrenz({"export", dir->file("attached.qel"), out, "--format", format, "--srs", "EPSG:4547",
                       "--layers", "parcels"})
                  .exitCode,
              0);
    GDALDatasetUniquePtr ds = open(out + (std::string(format) == "GeoJSON" ? "/parcels.geojson" : "/parcels.shp"));
    ASSERT_TRUE(ds);
    const OGRSpatialReference* srs = ds->GetLayer(0)->GetSpatialRef();
    ASSERT_NE(srs, nullptr);
    // Compared as PROJ strings: a .prj holds no EPSG code and no axis order.
    char* got = nullptr;
    char* want = nullptr;
    srs->exportToProj4(&got);
    expected.exportToProj4(&want);
    EXPECT_STREQ(got, want);
    CPLFree(got);
    CPLFree(want);
  }
}

TEST_F(SamplesExport, DanglingReferencesAreWrittenWithoutGeometryAndCounted) {
  // The EPSW sample announces four vertices for its river and gives three.
  const std::string out = dir->file("epsw.gpkg");
  const test::CommandResult r = dobrenz({"export", dir->file("epsw.qel"), out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("1 feature names a point that"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("lines: 6 features, 1 without geometry"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("CRS: none"), std::string::npos);
  GDALDatasetUniquePtr ds = open(out);
  int nulls = 0;
  for (auto& f : *ds->GetLayerByName("lines")) nulls += f->GetGeometryRef() == nullptr;
  EXPECT_EQ(nulls, 1);
}

}  // namespace
}  // namespace dz
