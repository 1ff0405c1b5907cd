// The export read back with GDAL itself: layers, counts, geometry types,
// exact coordinates, decoded fields in UTF-8, the CRS, every listed format,
// and what becomes of OUT when an export cannot finish.
#include "export/ogr_export.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/fixed_field.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

namespace fs = std::filesystem;

// Coordinates with every digit a double holds, to catch rounding on the way.
constexpr double kEast = 500100.12345678912;
constexpr double kNorth = 3100200.9876543211;

PointRecord point(const std::string& name, double north, double east, double elev = 0) {
  PointRecord p{};
  copyName(p.name, name);
  p.north = north;
  p.east = east;
  p.elev = elev;
  return p;
}

// A small file with one of everything: points, a line, a circle, a parcel,
// a boundary point, a house, two texts, and a line whose point is missing.
FeatureStore sampleStore() {
  FeatureStore s;
  s.addPoint(point("K1", kNorth, kEast, 12.5));
  s.addPoint(point("A", 3100000, 500000));
  s.addPoint(point("B", 3100000, 500020));
  s.addPoint(point("C", 3100015, 500020));
  s.addPoint(point("D", 3100015, 500000));
  auto add = [&](int16_t kind, int32_t code, std::vector<std::pair<const char*, int16_t>> refs,
                 std::vector<uint8_t> block = {}) {
    FeatureHeader header{};
    header.kind = kind;
    header.code = code;
    std::vector<PointRef> vertices;
    for (auto [n, k] : refs) vertices.push_back(test::pointRef(n, k));
    s.addFeature(header, vertices, block);
  };
  add(kLineFeature, 4301, {{"A", 1}, {"B", 1}, {"C", 1}});
  add(kLineFeature, 5610, {{"A", 3}, {"B", 3}});
  std::vector<uint8_t> parcel = test::parcelBlock("0101");
  putLE<double>(parcel.data(), 0, 1250.75);
  copyField(reinterpret_cast<char*>(parcel.data()) + 100, 80, "城关镇第一小学");
  parcel[224] = 1;
  add(kParcel, 7311, {{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}}, parcel);
  std::vector<uint8_t> label(kBoundaryPointAttributesSize, 0);
  copyField(reinterpret_cast<char*>(label.data()), 10, "钢钉");
  add(kBoundaryPoint, 7310, {{"K1", 0}}, label);
  std::vector<uint8_t> house(kHouseAttributesSize, 0);
  copyField(reinterpret_cast<char*>(house.data()), 10, "砖");
  putLE<int16_t>(house.data(), 10, 3);
  add(kHouse, 2120, {{"A", 1}, {"B", 1}, {"C", 1}}, house);
  add(kLineFeature, 4301, {{"A", 1}, {"GONE", 1}});
  const double anchor[2] = {kNorth, kEast};
  TextStyle style{};
  style.height = 3.0f;
  for (const char* text : {"幸福路", "A\xFF" "B"}) {
    StoredText& t = s.addText(anchor, text, style, 2);
    t.setField("注记号", "1");
    t.setField("注记类别", "道路名");
  }
  return s;
}

GDALDatasetUniquePtr open(const std::string& path) {
  return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
}

// Every feature of a layer, in order (features keep their definition alive
// when the dataset goes).
std::vector<OGRFeatureUniquePtr> featuresOf(OGRLayer* layer) {
  std::vector<OGRFeatureUniquePtr> out;
  if (!layer) {
    ADD_FAILURE() << "no such layer";
    return out;
  }
  layer->ResetReading();
  while (OGRFeatureUniquePtr f{layer->GetNextFeature()}) out.push_back(std::move(f));
  return out;
}

// The features of the one layer of a one-layer file, or of a named layer.
std::vector<OGRFeatureUniquePtr> featuresOf(const std::string& path, const char* layer = nullptr) {
  GDALDatasetUniquePtr ds = open(path);
  if (!ds) {
    ADD_FAILURE() << "GDAL cannot open " << path;
    return {};
  }
  return featuresOf(layer ? ds->GetLayerByName(layer) : ds->GetLayer(0));
}

bool leftovers(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().find(".tmp~") != std::string::npos) return true;
  return false;
}

::testing::AssertionResult succeeded(const gis::ExportResult& r) {
  if (r.outcome == gis::Outcome::Ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << r.message;
}

class Export : public ::testing::Test {
 protected:
  gis::ExportResult run(const std::string& name, gis::ExportOptions options = {}) {
    out = dir.file(name);
    return gis::exportSurvey(layers, out, options);
  }

  test::TempDir dir;
  FeatureStore store = sampleStore();
  gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  std::string out;
};

TEST_F(Export, GeoPackageHoldsEveryLayerWithItsTypeAndCount) {
  const gis::ExportResult r = run("survey.gpkg");
  ASSERT_TRUE(succeeded(r));
  EXPECT_EQ(r.format, "GPKG");
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  ASSERT_TRUE(ds);
  const std::map<std::string, std::pair<OGRwkbGeometryType, GIntBig>> expected = {
      {"points", {wkbPoint25D, 5}},   {"lines", {wkbCurve, 3}},  {"parcels", {wkbPolygon, 1}},
      {"boundary_points", {wkbPoint, 1}}, {"houses", {wkbPolygon, 1}}, {"texts", {wkbPoint, 2}}};
  ASSERT_EQ(ds->GetLayerCount(), 6);
  for (OGRLayer* layer : ds->GetLayers()) {
    const auto it = expected.find(layer->GetName());
    ASSERT_NE(it, expected.end()) << layer->GetName();
    EXPECT_EQ(layer->GetGeomType(), it->second.first) << layer->GetName();
    EXPECT_EQ(layer->GetFeatureCount(), it->second.second) << layer->GetName();
    const OGRSpatialReference* srs = layer->GetSpatialRef();
    EXPECT_TRUE(srs == nullptr || srs->IsLocal()) << layer->GetName();  // not a geographic one
  }
  EXPECT_TRUE(r.crs.empty());
}

TEST_F(Export, CoordinatesAndFieldsReadBackExactlyInUtf8) {
  ASSERT_TRUE(succeeded(run("survey.gpkg")));
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  auto points = featuresOf(ds->GetLayerByName("points"));
  const OGRPoint* k1 = points.at(0)->GetGeometryRef()->toPoint();
  EXPECT_EQ(k1->getX(), kEast);
  EXPECT_EQ(k1->getY(), kNorth);
  EXPECT_EQ(k1->getZ(), 12.5);
  EXPECT_STREQ(points.at(0)->GetFieldAsString("name"), "K1");

  auto parcels = featuresOf(ds->GetLayerByName("parcels"));
  EXPECT_STREQ(parcels.at(0)->GetFieldAsString("parcel_no"), "0101");
  EXPECT_EQ(parcels.at(0)->GetFieldAsDouble("area"), 1250.75);
  EXPECT_EQ(parcels.at(0)->GetFieldDefnRef(parcels.at(0)->GetFieldIndex("area"))->GetType(), OFTReal);
  EXPECT_STREQ(parcels.at(0)->GetFieldAsString("owner"), u8"城关镇第一小学");
  EXPECT_STREQ(parcels.at(0)->GetFieldAsString("ownership"), u8"国有土地所有权");
  EXPECT_EQ(parcels.at(0)->GetFieldAsInteger("qel_index"), 3);
  EXPECT_EQ(parcels.at(0)->GetFieldAsInteger("code"), 7311);

  auto houses = featuresOf(ds->GetLayerByName("houses"));
  EXPECT_STREQ(houses.at(0)->GetFieldAsString("structure"), u8"砖");
  EXPECT_EQ(houses.at(0)->GetFieldAsInteger("floors"), 3);
  const OGRLinearRing* ring = houses.at(0)->GetGeometryRef()->toPolygon()->getExteriorRing();
  EXPECT_EQ(ring->getNumPoints(), 4);  // closed by the export
  EXPECT_TRUE(ring->get_IsClosed());

  auto marks = featuresOf(ds->GetLayerByName("boundary_points"));
  EXPECT_STREQ(marks.at(0)->GetFieldAsString("marker"), u8"钢钉");
  EXPECT_EQ(marks.at(0)->GetGeometryRef()->toPoint()->getX(), kEast);

  auto texts = featuresOf(ds->GetLayerByName("texts"));
  EXPECT_STREQ(texts.at(0)->GetFieldAsString("text"), u8"幸福路");
  EXPECT_STREQ(texts.at(0)->GetFieldAsString(u8"注记号"), "1");
  EXPECT_EQ(texts.at(0)->GetGeometryRef()->toPoint()->getX(), kEast);
  EXPECT_EQ(texts.at(0)->GetGeometryRef()->toPoint()->getY(), kNorth);
  EXPECT_STREQ(texts.at(1)->GetFieldAsString("text"), "A\\xFFB");
}

TEST_F(Export, DanglingReferencesAreWrittenWithANullGeometry) {
  const gis::ExportResult r = run("survey.gpkg");
  ASSERT_TRUE(succeeded(r));
  EXPECT_EQ(layers.danglingFeatures, 1);
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  auto lines = featuresOf(ds->GetLayerByName("lines"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines.at(2)->GetGeometryRef(), nullptr);
  EXPECT_EQ(lines.at(2)->GetFieldAsInteger("qel_index"), 6);
  for (const gis::LayerSummary& l : r.layers)
    EXPECT_EQ(l.nullGeometries, l.name == "lines" ? 1 : 0) << l.name;
}

TEST_F(Export, CirclesAreCurvesWhereTheFormatHasThemElseClosedLines) {
  ASSERT_TRUE(succeeded(run("survey.gpkg")));
  auto curved = featuresOf(out, "lines");
  EXPECT_EQ(wkbFlatten(curved.at(1)->GetGeometryRef()->getGeometryType()), wkbCircularString);
  EXPECT_EQ(wkbFlatten(curved.at(0)->GetGeometryRef()->getGeometryType()), wkbLineString);

  gis::ExportOptions options;
  options.format = "GeoJSON";
  ASSERT_TRUE(succeeded(run("json", options)));
  auto straight = featuresOf(out + "/lines.geojson");
  const OGRLineString* circle = straight.at(1)->GetGeometryRef()->toLineString();
  EXPECT_GE(circle->getNumPoints(), 73);
  EXPECT_TRUE(circle->get_IsClosed());
  EXPECT_NEAR(circle->get_Length(), 2 * M_PI * 10, 0.1);  // a diameter of 20
}

TEST_F(Export, TheCoordinateSystemGivenIsWritten) {
  gis::ExportOptions options;
  options.srs = "EPSG:4547";
  const gis::ExportResult r = run("survey.gpkg", options);
  ASSERT_TRUE(succeeded(r));
  EXPECT_NE(r.crs.find("EPSG:4547"), std::string::npos) << r.crs;
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  const OGRSpatialReference* srs = ds->GetLayerByName("parcels")->GetSpatialRef();
  ASSERT_NE(srs, nullptr);
  EXPECT_STREQ(srs->GetAuthorityCode(nullptr), "4547");
  // The CRS puts north first; the file still holds east as x.
  auto points = featuresOf(ds->GetLayerByName("points"));
  EXPECT_EQ(points.at(0)->GetGeometryRef()->toPoint()->getX(), kEast);
}

TEST_F(Export, AProjStringIsAcceptedAndAnUnknownSystemIsAUsageError) {
  gis::ExportOptions options;
  options.srs = "+proj=tmerc +lat_0=0 +lon_0=114 +k=1 +x_0=500000 +y_0=0 +ellps=GRS80 +units=m +no_defs";
  const gis::ExportResult proj = run("proj.gpkg", options);
  EXPECT_TRUE(succeeded(proj));
  EXPECT_EQ(proj.crs, options.srs);  // GDAL names it "unknown": the summary shows it as given
  options.srs = "EPSG:999999999";
  const gis::ExportResult r = run("bad.gpkg", options);
  EXPECT_EQ(r.outcome, gis::Outcome::Usage);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(Export, OneLayerPerFileFormatsWriteAFolder) {
  for (const char* format : {"GeoJSON", "ESRI Shapefile", "CSV"}) {
    SCOPED_TRACE(format);
    gis::ExportOptions options;
    options.format = format;
    const gis::ExportResult r = run(std::string("out-") + format, options);
    ASSERT_TRUE(succeeded(r));
    EXPECT_TRUE(r.folder);
    ASSERT_EQ(r.layers.size(), 6u);
    for (const gis::LayerSummary& l : r.layers) {
      GDALDatasetUniquePtr ds = open(l.path);
      ASSERT_TRUE(ds) << l.path;
      ASSERT_EQ(ds->GetLayerCount(), 1);
      EXPECT_EQ(ds->GetLayer(0)->GetFeatureCount(), l.features) << l.path;
    }
    auto points = featuresOf(r.layers[0].path);
    const OGRPoint* k1 = points.at(0)->GetGeometryRef()->toPoint();
    EXPECT_EQ(k1->getX(), kEast);
    EXPECT_EQ(k1->getY(), kNorth);
    auto texts = featuresOf(r.layers[5].path);
    EXPECT_STREQ(texts.at(0)->GetFieldAsString("text"), u8"幸福路");
    EXPECT_FALSE(leftovers(dir.path()));
  }
}

TEST_F(Export, ShapefilesCarryACodePageFileUtf8OrGbk) {
  gis::ExportOptions options;
  options.format = "ESRI Shapefile";
  ASSERT_TRUE(succeeded(run("utf8", options)));
  EXPECT_EQ(test::readFile(out + "/texts.cpg"), "UTF-8");
  const std::string utf8Dbf = test::readFile(out + "/texts.dbf");
  EXPECT_NE(utf8Dbf.find(u8"幸福路"), std::string::npos);
  // In UTF-8 the name is 12 bytes: cut after its last whole character.
  auto utf8Texts = featuresOf(out + "/texts.shp");
  EXPECT_STREQ(utf8Texts.at(0)->GetFieldAsString(u8"注记类"), u8"道路名");

  options.dbfEncoding = "GBK";
  ASSERT_TRUE(succeeded(run("gbk", options)));
  const std::string gbkDbf = test::readFile(out + "/texts.dbf");
  EXPECT_NE(gbkDbf.find("幸福路"), std::string::npos);  // a GBK literal
  EXPECT_EQ(gbkDbf.find(u8"幸福路"), std::string::npos);
  // GDAL itself reads it back as UTF-8, from the .cpg; in GBK the field
  // name 注记类别 fits the DBF's 10 bytes whole.
  auto texts = featuresOf(out + "/texts.shp");
  EXPECT_STREQ(texts.at(0)->GetFieldAsString("text"), u8"幸福路");
  EXPECT_STREQ(texts.at(0)->GetFieldAsString(u8"注记类别"), u8"道路名");

  options.format = "GPKG";
  EXPECT_EQ(run("x.gpkg", options).outcome, gis::Outcome::Usage);  // a DBF option without a DBF
}

TEST_F(Export, DxfWritesLayersAsDxfLayersAndTextsAsTextEntities) {
  const gis::ExportResult r = run("survey.dxf");  // the extension names the format
  ASSERT_TRUE(succeeded(r));
  EXPECT_EQ(r.format, "DXF");
  std::map<std::string, int> perLayer;
  std::vector<std::string> labels;
  for (auto& f : featuresOf(out)) {
    ++perLayer[f->GetFieldAsString("Layer")];
    if (std::string(f->GetFieldAsString("Layer")) == "texts") {
      labels.push_back(f->GetFieldAsString("Text"));
      EXPECT_NE(std::string(f->GetStyleString()).find("LABEL("), std::string::npos);
      // DXF numbers carry 15 significant digits: a nanometre here.
      EXPECT_NEAR(f->GetGeometryRef()->toPoint()->getX(), kEast, 1e-6);
    }
    if (std::string(f->GetFieldAsString("Layer")) == "parcels") {  // an outline, not a solid hatch
      EXPECT_EQ(wkbFlatten(f->GetGeometryRef()->getGeometryType()), wkbLineString);
    }
  }
  EXPECT_EQ(perLayer["points"], 5);
  EXPECT_EQ(perLayer["lines"], 2);  // the one without a place cannot be an entity
  for (const gis::LayerSummary& l : r.layers) EXPECT_EQ(l.leftOut, l.name == "lines" ? 1 : 0);
  EXPECT_EQ(perLayer["parcels"], 1);
  EXPECT_EQ(perLayer["texts"], 2);
  EXPECT_EQ(labels, (std::vector<std::string>{u8"幸福路", "A\\xFFB"}));
}

TEST_F(Export, AFormatWithoutACoordinateSystemSaysSo) {
  gis::ExportOptions options;
  options.srs = "EPSG:4547";
  const gis::ExportResult r = run("survey.dxf", options);
  ASSERT_TRUE(succeeded(r));
  EXPECT_TRUE(r.crs.empty());
  EXPECT_NE(r.crsNote.find("DXF"), std::string::npos);
}

TEST_F(Export, LayersCanBeChosen) {
  gis::ExportOptions options;
  options.layers = {"parcels", "texts"};
  const gis::ExportResult r = run("some.gpkg", options);
  ASSERT_TRUE(succeeded(r));
  GDALDatasetUniquePtr ds = open(out);
  ASSERT_TRUE(ds);
  ASSERT_EQ(ds->GetLayerCount(), 2);
  EXPECT_STREQ(ds->GetLayer(0)->GetName(), "parcels");
  options.layers = {"roads"};
  EXPECT_EQ(run("none.gpkg", options).outcome, gis::Outcome::Usage);
}

TEST_F(Export, NothingToExportIsAFailureWithoutOutput) {
  layers = gis::buildSurveyLayers(FeatureStore());
  const gis::ExportResult r = run("empty.gpkg");
  EXPECT_EQ(r.outcome, gis::Outcome::Failed);
  EXPECT_NE(r.message.find("nothing to export"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(Export, FormatsAreCheckedBeforeAnythingIsWritten) {
  gis::ExportOptions options;
  options.format = "NoSuchDriver";
  EXPECT_EQ(run("a.gpkg", options).outcome, gis::Outcome::Usage);
  options.format = "GTiff";  // a raster format
  EXPECT_EQ(run("a.tif", options).outcome, gis::Outcome::Usage);
  // A name ending like a one-layer format without --format would mislead.
  const gis::ExportResult r = run("survey.geojson");
  EXPECT_EQ(r.outcome, gis::Outcome::Usage);
  EXPECT_NE(r.message.find("--format"), std::string::npos);
  EXPECT_FALSE(leftovers(dir.path()));
}

TEST_F(Export, AnExistingOutIsReplacedOnlyWithOverwrite) {
  dir.write("survey.gpkg", "old");
  const gis::ExportResult refused = run("survey.gpkg");
  EXPECT_EQ(refused.outcome, gis::Outcome::Failed);
  EXPECT_NE(refused.message.find("--overwrite"), std::string::npos);
  EXPECT_EQ(test::readFile(out), "old");

  gis::ExportOptions options;
  options.overwrite = true;
  ASSERT_TRUE(succeeded(run("survey.gpkg", options)));
  EXPECT_TRUE(open(out));
  EXPECT_FALSE(leftovers(dir.path()));
}

TEST_F(Export, OverwriteReplacesAnEarlierExportFolderButNoOtherFolder) {
  gis::ExportOptions options;
  options.format = "GeoJSON";
  options.overwrite = true;
  ASSERT_TRUE(succeeded(run("json", options)));
  options.layers = {"texts"};
  ASSERT_TRUE(succeeded(run("json", options)));
  EXPECT_FALSE(fs::exists(out + "/points.geojson"));  // the whole folder was replaced
  EXPECT_TRUE(fs::exists(out + "/texts.geojson"));

  fs::create_directory(dir.file("mine"));
  dir.write("mine/notes.txt", "keep me");
  const gis::ExportResult r = run("mine", options);
  EXPECT_EQ(r.outcome, gis::Outcome::Failed);
  EXPECT_NE(r.message.find("notes.txt"), std::string::npos);
  EXPECT_EQ(test::readFile(dir.file("mine/notes.txt")), "keep me");
}

TEST_F(Export, AnUnwritableOutFailsAndLeavesNothing) {
  dir.write("file", "");
  const gis::ExportResult r = run("file/survey.gpkg");  // under a file, not a folder
  EXPECT_EQ(r.outcome, gis::Outcome::Failed);
  EXPECT_NE(r.message.find("file/survey.gpkg"), std::string::npos);
  EXPECT_EQ(test::readFile(dir.file("file")), "");
}

TEST_F(Export, AFormatThatRefusesAFeatureHalfwayLeavesNoPartialOut) {
  // GPX holds points and lines but no polygons: the parcels fail after the
  // points and lines were written.
  gis::ExportOptions options;
  options.format = "GPX";
  const gis::ExportResult r = run("survey.gpx", options);
  EXPECT_EQ(r.outcome, gis::Outcome::Failed);
  EXPECT_FALSE(r.message.empty());
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(leftovers(dir.path()));
}

}  // namespace
}  // namespace dz
