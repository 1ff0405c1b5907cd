// The layers of a feature file: attribute blocks decoded as their writers
// fill them, map axes, geometries, and what happens to damaged data.
#include "export/survey_layers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "attributes/attribute_attacher.h"
#include "base/fixed_field.h"
#include "cass/parcel_import.h"
#include "export/attribute_blocks.h"
#include "standin/engine.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/cass/cass_fixture.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using gis::Coord;
using gis::Shape;
using gis::Value;

PointRecord point(const std::string& name, double north, double east, double elev = 0, int32_t code = 0) {
  PointRecord p{};
  copyName(p.name, name);
  p.north = north;
  p.east = east;
  p.elev = elev;
  p.code = code;
  return p;
}

void addFeature(FeatureStore& store, int16_t kind, int32_t code, std::vector<std::pair<std::string, int16_t>> refs,
                std::vector<uint8_t> block = {}) {
  FeatureHeader header{};
  header.kind = kind;
  header.code = code;
  std::vector<PointRef> vertices;
  for (const auto& [name, vertexKind] : refs) vertices.push_back(test::pointRef(name, vertexKind));
  store.addFeature(header, vertices, block);
}

const Value& value(const gis::Layer& layer, size_t feature, const char* field) {
  const int i = layer.fieldIndex(field);
  EXPECT_GE(i, 0) << field;
  return layer.features.at(feature).values.at(static_cast<size_t>(i));
}

std::string text(const gis::Layer& layer, size_t feature, const char* field) {
  return std::get<std::string>(value(layer, feature, field));
}

// --- attribute blocks, as the two writers fill them -------------------------

TEST(ParcelBlock, ReadsTheFieldsTheCassConversionWrites) {
  CassParcelAttributeFields fields;
  fields.parcel = "0101";
  fields.field4 = "张三";
  fields.field5 = 400.0;
  fields.field6 = 120.5;
  fields.field7 = 280.0;
  fields.field8 = "示例路1号";
  fields.ownership = "国有土地所有权";
  std::vector<uint8_t> block(kParcelAttributesSize);
  fillParcelAttributes(block.data(), fields);

  const gis::ParcelAttributes a = gis::decodeParcelAttributes(block);
  EXPECT_EQ(a.parcelNo, "0101");
  EXPECT_EQ(a.area, 400.0);       // field 5
  EXPECT_EQ(a.floorArea, 280.0);  // field 7
  EXPECT_EQ(a.footprint, 120.5);  // field 6
  EXPECT_EQ(a.landUse, "张三");    // field 4
  EXPECT_EQ(a.owner, "示例路1号");  // field 8
  EXPECT_EQ(a.mapSheet, "");
  EXPECT_EQ(a.ownershipCode, 1);
}

TEST(ParcelBlock, ReadsTheFieldsTheAttachmentWrites) {
  test::TempDir dir;
  FeatureFileEngine engine(dir.path());
  const QelHandle h = engine.OpenFeatureFile(dir.file("a.qel").c_str());
  test::addParcel(engine, h, "0101");
  test::RecordingMessages messages;
  CAttributeAttacher attacher(engine, messages);
  attacher.m_strCategoryPath[CAttributeAttacher::kParcelCategory] =
      dir.write("parcels.txt", "0101 城关镇第一小学 110101 教育用地 中山路12号 G1-3 1250.75 860.5 国有土地使用权 1 无\n");
  attacher.Run(h);

  const gis::ParcelAttributes a = gis::decodeParcelAttributes(engine.store(h)->features()[0].attributes());
  EXPECT_EQ(a.parcelNo, "0101");
  EXPECT_EQ(a.owner, "城关镇第一小学");  // field 2
  EXPECT_EQ(a.landUse, "教育用地");     // field 4
  EXPECT_EQ(a.mapSheet, "G1-3");       // field 6
  EXPECT_EQ(a.area, 1250.75);          // field 7
  EXPECT_EQ(a.floorArea, 860.5);       // field 8
}

TEST(BoundaryPointAndHouseBlocks, ReadTheFieldsTheAttachmentWrites) {
  test::TempDir dir;
  FeatureFileEngine engine(dir.path());
  const QelHandle h = engine.OpenFeatureFile(dir.file("a.qel").c_str());
  test::addParcelLabel(engine, h, "0101");
  test::addHouse(engine, h, "F001");
  test::RecordingMessages messages;
  CAttributeAttacher attacher(engine, messages);
  attacher.m_strCategoryPath[CAttributeAttacher::kBoundaryPointCategory] =
      dir.write("points.txt", "0101 钢钉 围墙 J1 解析法\n");
  attacher.m_strCategoryPath[CAttributeAttacher::kHouseCategory] = dir.write("houses.txt", "F001 混 70000\n");
  attacher.Run(h);

  const auto& features = engine.store(h)->features();
  const gis::BoundaryPointAttributes b = gis::decodeBoundaryPointAttributes(features[0].attributes());
  EXPECT_EQ(b.marker, "钢钉");
  EXPECT_EQ(b.lineType, "围墙");
  EXPECT_EQ(b.pointNo, "J1");
  EXPECT_EQ(b.method, "解析法");
  const gis::HouseAttributes house = gis::decodeHouseAttributes(features[1].attributes());
  EXPECT_EQ(house.structure, "混");
  EXPECT_EQ(house.floors, 4464);  // the low 16 bits the attachment stores
}

TEST(AttributeBlocks, AShortBlockYieldsOnlyTheFieldsWhollyInsideIt) {
  std::vector<uint8_t> block(12, 0);
  copyField(reinterpret_cast<char*>(block.data()), 10, "砖");
  putLE<int16_t>(block.data(), 10, 3);
  block.resize(11);  // cuts the floor count in half
  const gis::HouseAttributes house = gis::decodeHouseAttributes(block);
  EXPECT_EQ(house.structure, "砖");
  EXPECT_FALSE(house.floors.has_value());

  const gis::ParcelAttributes parcel = gis::decodeParcelAttributes(std::vector<uint8_t>(100, 0));
  EXPECT_TRUE(parcel.landUse.has_value());  // bytes 80-99
  EXPECT_FALSE(parcel.owner.has_value());   // bytes 100-179
  EXPECT_FALSE(parcel.ownershipCode.has_value());
}

TEST(AttributeBlocks, OwnershipCodesNameTheTextsTheConversionEncoded) {
  for (const char* text : {"国有土地所有权", "私有土地所有权", "集体土地所有权"})
    EXPECT_STREQ(gis::ownershipText(ownershipCode(text)), text);
  EXPECT_STREQ(gis::ownershipText(ownershipCode("国有土地使用权")), "其他");
  EXPECT_EQ(gis::ownershipText(7), nullptr);
}

// --- layers ----------------------------------------------------------------

TEST(SurveyLayers, PointsTakeEastAsXNorthAsYAndTheElevationAsZ) {
  FeatureStore store;
  store.addPoint(point("K1", 3100200.0, 500100.0, 9999.0, 7311));
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  const gis::Layer* points = layers.find("points");
  ASSERT_NE(points, nullptr);
  const Coord& c = points->features[0].geometry.coords[0];
  EXPECT_EQ(c.x, 500100.0);
  EXPECT_EQ(c.y, 3100200.0);
  EXPECT_EQ(c.z, 9999.0);  // kept as stored
  EXPECT_EQ(text(*points, 0, "name"), "K1");
  EXPECT_EQ(std::get<long long>(value(*points, 0, "code")), 7311);
  EXPECT_EQ(std::get<long long>(value(*points, 0, "qel_index")), 1);
}

TEST(SurveyLayers, OnlyLayersWithFeaturesAreThereInTheirOrder) {
  FeatureStore store;
  store.addPoint(point("A", 1, 2));
  addFeature(store, kHouse, 2120, {{"A", 1}});
  const double origin[2] = {0, 0};
  store.addText(origin, "", TextStyle{}, 0);
  std::vector<std::string> names;
  for (const gis::Layer& l : gis::buildSurveyLayers(store).layers) names.push_back(l.name);
  EXPECT_EQ(names, (std::vector<std::string>{"points", "houses", "texts"}));
  EXPECT_TRUE(gis::buildSurveyLayers(FeatureStore()).empty());
}

TEST(SurveyLayers, FeatureKindsGoToTheirLayersWithTheirIndexInTheFile) {
  FeatureStore store;
  store.addPoint(point("A", 0, 0));
  addFeature(store, kLineFeature, 4301, {{"A", 1}, {"A", 1}});
  addFeature(store, kParcel, 7311, {{"A", 1}});
  addFeature(store, kBoundaryPoint, 7310, {{"A", 0}});
  addFeature(store, kHouse, 2120, {{"A", 1}});
  addFeature(store, 9, 5, {{"A", 1}});  // a kind no writer of ours produces
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  EXPECT_EQ(std::get<long long>(value(*layers.find("parcels"), 0, "qel_index")), 2);
  EXPECT_EQ(std::get<long long>(value(*layers.find("boundary_points"), 0, "qel_index")), 3);
  EXPECT_EQ(std::get<long long>(value(*layers.find("houses"), 0, "qel_index")), 4);
  const gis::Layer& lines = *layers.find("lines");
  ASSERT_EQ(lines.features.size(), 2u);
  EXPECT_EQ(std::get<long long>(value(lines, 1, "qel_index")), 5);
  EXPECT_EQ(std::get<long long>(value(lines, 1, "kind")), 9);
}

TEST(SurveyLayers, ADanglingReferenceGivesANullGeometryAndIsCounted) {
  FeatureStore store;
  store.addPoint(point("A", 0, 0));
  addFeature(store, kLineFeature, 1, {{"A", 1}, {"GONE", 1}});
  addFeature(store, kHouse, 2120, {{"NOPE", 1}, {"A", 1}});
  addFeature(store, kLineFeature, 2, {{"A", 1}, {"A", 1}});
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  EXPECT_EQ(layers.danglingFeatures, 2);
  const gis::Layer& lines = *layers.find("lines");
  ASSERT_EQ(lines.features.size(), 2u);  // kept, not dropped
  EXPECT_EQ(lines.features[0].geometry.shape, Shape::None);
  EXPECT_EQ(lines.nullGeometries, 1);
  EXPECT_EQ(lines.danglingFeatures, 1);
  EXPECT_EQ(layers.find("houses")->features[0].geometry.shape, Shape::None);
}

TEST(SurveyLayers, TwoVerticesOfKindThreeAreACircleOthersStayLines) {
  FeatureStore store;
  store.addPoint(point("P1", 20.0, 8.0));
  store.addPoint(point("P2", 20.0, 12.0));
  store.addPoint(point("P3", 30.0, 12.0));
  addFeature(store, kLineFeature, 5610, {{"P1", 3}, {"P2", 3}});
  addFeature(store, kLineFeature, 5610, {{"P1", 3}, {"P2", 1}});
  addFeature(store, kLineFeature, 5610, {{"P1", 3}, {"P2", 3}, {"P3", 3}});
  addFeature(store, kLineFeature, 3750, {{"P3", 1}});
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  const gis::Layer& lines = *layers.find("lines");
  EXPECT_TRUE(lines.hasCircles);
  EXPECT_EQ(lines.features[0].geometry.shape, Shape::Circle);
  EXPECT_EQ(lines.features[1].geometry.shape, Shape::Line);
  EXPECT_EQ(lines.features[2].geometry.shape, Shape::Line);
  // A feature of one vertex is a line of zero length.
  const gis::Geometry& single = lines.features[3].geometry;
  ASSERT_EQ(single.coords.size(), 2u);
  EXPECT_EQ(single.coords[0].x, single.coords[1].x);
}

TEST(SurveyLayers, RingsAreClosedWhenTheDataDoesNotCloseThem) {
  FeatureStore store;
  for (const char* n : {"A", "B", "C"}) store.addPoint(point(n, n[0] - 'A', 2 * (n[0] - 'A') + 1));
  addFeature(store, kHouse, 2120, {{"A", 1}, {"B", 1}, {"C", 1}});
  addFeature(store, kParcel, 7311, {{"A", 1}, {"B", 1}, {"C", 1}, {"A", 1}});
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  EXPECT_EQ(layers.find("houses")->features[0].geometry.coords.size(), 4u);
  EXPECT_EQ(layers.find("parcels")->features[0].geometry.coords.size(), 4u);  // already closed
}

TEST(SurveyLayers, TextsAreUtf8WithBytesThatAreNotGbkKeptVisible) {
  FeatureStore store;
  store.addPoint(point("J\xFF" "1", 0, 0));
  const double origin[2] = {0, 0};
  // The length given includes the terminating zero.
  StoredText& t = store.addText(origin, std::string_view("测绘路\0", 7), TextStyle{}, 0);
  t.setField("注记号", "1");
  t.setField("text", "clash");
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  EXPECT_EQ(text(*layers.find("points"), 0, "name"), "J\\xFF1");
  const gis::Layer& texts = *layers.find("texts");
  EXPECT_EQ(text(texts, 0, "text"), u8"测绘路");
  EXPECT_EQ(text(texts, 0, u8"注记号"), "1");
  EXPECT_EQ(text(texts, 0, "text_2"), "clash");  // a field named like a fixed one
}

TEST(CircleAsLine, StartsAndEndsAtOneEndAndPassesTheOther) {
  const Coord a{8, 20}, b{12, 20};
  const std::vector<Coord> line = gis::circleAsLine(a, b, 72);
  ASSERT_EQ(line.size(), 73u);
  EXPECT_EQ(line.front().x, 8);
  EXPECT_EQ(line.back().x, 8);
  EXPECT_EQ(line[36].x, 12);
  for (const Coord& c : line) EXPECT_NEAR(std::hypot(c.x - 10, c.y - 20), 2.0, 1e-12);
  EXPECT_LT(line[18].y, 20);  // counter-clockwise from the west end passes the south
}

// --- the axis order of text anchors, proven by the house import -------------

class TextAnchorAxes : public test::CassFixture {};

TEST_F(TextAnchorAxes, ATextTheHouseImportFoundInsideAHouseLiesInsideItOnTheMap) {
  // A house 20 east by 15 north; its texts are given north first, as the
  // house import reads them (the first number against the first coordinate).
  const FeatureStore& out = convert(
      "LINE\n141101,h1\n5010.000,3030.000\n5030.000,3030.000\n5030.000,3045.000\n5010.000,3045.000\nnil\n"
      "TEXT\n砖,h1\n3037.5,5015.0\n2,h1\n3037.5,5025.0\nnil\nEND\n");
  const gis::SurveyLayers layers = gis::buildSurveyLayers(out);
  const gis::Layer& houses = *layers.find("houses");
  ASSERT_EQ(houses.features.size(), 1u);
  EXPECT_EQ(text(houses, 0, "structure"), u8"砖");
  EXPECT_EQ(std::get<long long>(value(houses, 0, "floors")), 2);
  const gis::Layer& texts = *layers.find("texts");
  ASSERT_EQ(texts.features.size(), 2u);
  for (const gis::LayerFeature& t : texts.features) {
    const Coord& c = t.geometry.coords[0];
    EXPECT_TRUE(c.x > 5010 && c.x < 5030 && c.y > 3030 && c.y < 3045) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace dz
