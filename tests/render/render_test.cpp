// The picture: where the transform puts things, what the PNG shows there,
// the Chinese font, and pictures refused. SVG and PDF are read back in
// picture_files_test.cpp, which needs GDAL.
#include "render/map_renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/fixed_field.h"
#include "cass/cass_converter.h"
#include "render/cjk_font.h"
#include "render/map_style.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

namespace fs = std::filesystem;
using render::Rgb;

// --- the transform ----------------------------------------------------------

TEST(MapTransform, FitsTheExtentNorthUpWithOneScaleAndCentres) {
  render::Extent e;
  e.add(5000, 3000);
  e.add(5100, 3130);
  const render::MapTransform t = render::MapTransform::fit(e, 800, 600, 40);
  // The taller side fills the height between the margins.
  EXPECT_DOUBLE_EQ(t.scale(), 520.0 / 130.0);
  EXPECT_DOUBLE_EQ(t.toY(3130), 40);   // north at the top
  EXPECT_DOUBLE_EQ(t.toY(3000), 560);
  EXPECT_DOUBLE_EQ(t.toX(5050), 400);  // centred across
  EXPECT_LT(t.toX(5000), t.toX(5100)); // east to the right
}

TEST(MapTransform, AnExtentOfOnePointIsCentredAtAFiniteScale) {
  render::Extent e;
  e.add(500100, 3100200);
  e.add(NAN, 1);  // ignored
  const render::MapTransform t = render::MapTransform::fit(e, 400, 300, 20, 10.0);
  EXPECT_DOUBLE_EQ(t.toX(500100), 200);
  EXPECT_DOUBLE_EQ(t.toY(3100200), 150);
  EXPECT_DOUBLE_EQ(t.scale(), 26.0);  // 260 / 10
}

TEST(MapTransform, AFlatExtentTakesItsScaleFromTheOtherAxis) {
  render::Extent e;
  e.add(0, 5);
  e.add(100, 5);
  const render::MapTransform t = render::MapTransform::fit(e, 300, 300, 50);
  EXPECT_DOUBLE_EQ(t.scale(), 2.0);
  EXPECT_DOUBLE_EQ(t.toY(5), 150);
}

TEST(MapStyle, LineColoursFollowTheCodeAndTellCodesOneDigitApart) {
  auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
  EXPECT_TRUE(same(render::style::lineColour(4301), render::style::lineColour(4301)));
  for (long long code : {8101, 2110, 4301, 7311})
    for (long long step : {1, 10, 100, 1000, 3, 70, 500})
      EXPECT_FALSE(same(render::style::lineColour(code), render::style::lineColour(code + step))) << code << "+" << step;
}

TEST(CjkFont, FontconfigFindsWenQuanYiMicroHei) {
  render::CjkFont font;
  std::string error;
  ASSERT_TRUE(font.load(error)) << error;
  EXPECT_EQ(font.family(), render::CjkFont::kPreferredFamily);
  EXPECT_TRUE(fs::exists(font.file())) << font.file();
  EXPECT_NE(font.face(), nullptr);
}

// --- pictures ---------------------------------------------------------------

// A PNG read back, with its pixels by position.
class Png {
 public:
  explicit Png(const std::string& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Png() { cairo_surface_destroy(surface_); }
  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }
  // 0xRRGGBB of the pixel that covers picture position (x, y).
  uint32_t at(double x, double y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface_) +
                               static_cast<int>(y) * cairo_image_surface_get_stride(surface_);
    uint32_t argb;
    std::memcpy(&argb, row + 4 * static_cast<int>(x), 4);
    return argb & 0xFFFFFF;
  }
  // How many pixels of the box (clipped to the picture) are within `tolerance`
  // of `colour` on every channel: antialiased edges blend colours.
  int near(uint32_t colour, int tolerance, double x0, double y0, double x1, double y1) const {
    return count(x0, y0, x1, y1, [&](uint32_t c) {
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((c >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > tolerance)
          return false;
      return true;
    });
  }
  int darkPixels(double x0, double y0, double x1, double y1) const { return near(0x000000, 110, x0, y0, x1, y1); }
  // Pixels that are neither of the two colours given.
  int otherThan(uint32_t a, uint32_t b, double x0, double y0, double x1, double y1) const {
    return count(x0, y0, x1, y1, [&](uint32_t c) { return c != a && c != b; });
  }

 private:
  template <typename Test>
  int count(double x0, double y0, double x1, double y1, Test test) const {
    int n = 0;
    for (int y = std::max(0, static_cast<int>(y0)); y < std::min<double>(height(), y1); ++y)
      for (int x = std::max(0, static_cast<int>(x0)); x < std::min<double>(width(), x1); ++x) n += test(at(x, y));
    return n;
  }

  cairo_surface_t* surface_;
};

constexpr uint32_t hex(const Rgb& c) {
  return (static_cast<uint32_t>(c.r * 255 + 0.5) << 16) | (static_cast<uint32_t>(c.g * 255 + 0.5) << 8) |
         static_cast<uint32_t>(c.b * 255 + 0.5);
}

PointRecord point(const std::string& name, double north, double east) {
  PointRecord p{};
  copyName(p.name, name);
  p.north = north;
  p.east = east;
  return p;
}

void addFeature(FeatureStore& s, int16_t kind, int32_t code, std::initializer_list<const char*> vertices,
                const std::vector<uint8_t>& block = {}) {
  FeatureHeader header{};
  header.kind = kind;
  header.code = code;
  std::vector<PointRef> refs;
  for (const char* n : vertices) refs.push_back(test::pointRef(n));
  s.addFeature(header, refs, block);
}

// A parcel 0..100 east by 0..60 north, a house inside it, a point and a
// text object outside both.
FeatureStore smallSurvey() {
  FeatureStore s;
  for (auto [n, north, east] : {std::tuple{"P1", 0.0, 0.0}, {"P2", 0.0, 100.0}, {"P3", 60.0, 100.0}, {"P4", 60.0, 0.0},
                                {"H1", 10.0, 60.0}, {"H2", 10.0, 90.0}, {"H3", 40.0, 90.0}, {"H4", 40.0, 60.0},
                                {"K1", 80.0, 20.0}})
    s.addPoint(point(n, north, east));
  addFeature(s, kParcel, 7311, {"P1", "P2", "P3", "P4", "P1"}, test::parcelBlock("0101"));
  std::vector<uint8_t> house(kHouseAttributesSize, 0);
  copyField(reinterpret_cast<char*>(house.data()), 10, "砖");
  putLE<int16_t>(house.data(), 10, 3);
  addFeature(s, kHouse, 2120, {"H1", "H2", "H3", "H4", "H1"}, house);
  const double anchor[2] = {70.0, 60.0};  // north, east
  TextStyle style{};
  style.height = 8.0f;
  s.addText(anchor, "测绘路", style, 0);
  return s;
}

class Render : public ::testing::Test {
 protected:
  render::RenderResult draw(const FeatureStore& store, const std::string& name, render::RenderOptions options = {}) {
    out = dir.file(name);
    return render::renderSurvey(gis::buildSurveyLayers(store), out, options);
  }
  test::TempDir dir;
  std::string out;
};

TEST_F(Render, ThePngShowsParcelHouseTextAndPointWhereTheTransformPutsThem) {
  render::RenderOptions options;
  options.width = 500;
  options.height = 400;
  const render::RenderResult r = draw(smallSurvey(), "small.png", options);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.fontFamily, "WenQuanYi Micro Hei");
  const Png png(out);
  ASSERT_TRUE(png.ok());
  ASSERT_EQ(png.width(), 500);
  const render::MapTransform& t = r.transform;

  // Parcel: lightly filled, away from its label and the house.
  EXPECT_EQ(png.at(t.toX(10), t.toY(50)), hex(render::style::kParcelFill));
  // House: filled and hatched inside.
  const uint32_t fill = hex(render::style::kHouseFill), hatch = hex(render::style::kHouseHatch);
  const double hx = t.toX(65), hy = t.toY(15);
  EXPECT_GT(png.near(fill, 0, hx, hy - 12, hx + 12, hy), 20);
  EXPECT_GT(png.near(hatch, 60, hx, hy - 12, hx + 12, hy), 3);
  // Labels: "砖3" at the house's centre, 0101 at the parcel's.
  const uint32_t label = hex(render::style::kLabel);
  EXPECT_GT(png.near(label, 70, t.toX(75) - 15, t.toY(25) - 8, t.toX(75) + 15, t.toY(25) + 8), 5);
  EXPECT_GT(png.near(label, 70, t.toX(50) - 15, t.toY(30) - 8, t.toX(50) + 15, t.toY(30) + 8), 5);
  // The text object: glyphs right of and above its anchor, nothing left of it.
  const double ax = t.toX(60), ay = t.toY(70), size = 8 * t.scale();
  EXPECT_GT(png.darkPixels(ax, ay - size, ax + 3 * size, ay + 2), 30);
  EXPECT_EQ(png.darkPixels(ax - 20, ay - size, ax - 2, ay + 2), 0);
  // The point's cross, and white where nothing is.
  const uint32_t white = hex(render::style::kBackground);
  EXPECT_GT(png.otherThan(white, white, t.toX(20) - 5, t.toY(80) - 5, t.toX(20) + 5, t.toY(80) + 5), 8);
  EXPECT_EQ(png.at(t.toX(90), t.toY(75)), white);
}

TEST_F(Render, PointNamesAppearOnlyWhenAskedFor) {
  render::RenderOptions options;
  options.width = 500;
  options.height = 400;
  const render::RenderResult plain = draw(smallSurvey(), "plain.png", options);
  ASSERT_TRUE(plain.ok);
  const double x = plain.transform.toX(20) + 5, y = plain.transform.toY(80) - 5;
  EXPECT_EQ(Png(out).near(hex(render::style::kLabel), 70, x, y - 12, x + 20, y + 2), 0);
  options.labels = render::Labels::Names;
  ASSERT_TRUE(draw(smallSurvey(), "names.png", options).ok);
  EXPECT_GT(Png(out).near(hex(render::style::kLabel), 70, x, y - 12, x + 20, y + 2), 5);
}

TEST_F(Render, AnAreasLabelIsDrawnOnlyWhereItFitsTheArea) {
  FeatureStore s = smallSurvey();
  // A parcel of 1 m by 1 m beside the big one: far smaller than "0102".
  for (auto [n, north, east] : {std::tuple{"Q1", 0.0, 110.0}, {"Q2", 0.0, 111.0}, {"Q3", 1.0, 111.0}})
    s.addPoint(point(n, north, east));
  addFeature(s, kParcel, 0, {"Q1", "Q2", "Q3", "Q1"}, test::parcelBlock("0102"));
  render::RenderOptions options;
  options.width = 500;
  options.height = 400;
  const render::RenderResult r = draw(s, "tiny.png", options);
  ASSERT_TRUE(r.ok) << r.message;
  const Png png(out);
  const render::MapTransform& t = r.transform;
  const uint32_t label = hex(render::style::kLabel);
  EXPECT_GT(png.near(label, 70, t.toX(50) - 15, t.toY(30) - 8, t.toX(50) + 15, t.toY(30) + 8), 5);
  // Beside the tiny parcel and the crosses of its points, where a label 28
  // pixels wide would reach.
  const double x = t.toX(110.5), y = t.toY(0.5);
  EXPECT_EQ(png.near(label, 70, x - 22, y - 8, x - 8, y + 8) + png.near(label, 70, x + 8, y - 8, x + 22, y + 8), 0);
}

TEST_F(Render, TheCassSampleIsDrawnAtThePlacesOfItsData) {
  const std::string samples = SAMPLES_DIR;
  test::RecordingHost host(samples + "/host");
  test::RecordingMessages messages;
  CCassConverter converter(host, messages);
  converter.m_strCasPath = samples + "/cass/sample.cas";
  converter.m_strQsPath = samples + "/cass/sample.qs";
  converter.m_strParcelPath = samples + "/cass/parcels.txt";
  converter.m_strOutputPath = dir.file("cass.qel");
  ASSERT_TRUE(converter.Run());
  FeatureStore store;
  std::string error;
  ASSERT_TRUE(gis::loadFeatureFile(dir.file("cass.qel"), store, error)) << error;

  const render::RenderResult r = draw(store, "cass.png");
  ASSERT_TRUE(r.ok) << r.message;
  const Png png(out);
  const render::MapTransform& t = r.transform;
  // Parcel 0102 (east 5020-5040, north 3100-3120), off its centre label.
  EXPECT_EQ(png.at(t.toX(5024), t.toY(3116)), hex(render::style::kParcelFill));
  // The house (east 5010-5030, north 3030-3045) is hatched.
  EXPECT_GT(png.near(hex(render::style::kHouseHatch), 60, t.toX(5011), t.toY(3044), t.toX(5016), t.toY(3040)), 3);
  // The text 测绘路 at east 5030, north 3005.
  const double ax = t.toX(5030), ay = t.toY(3005);
  EXPECT_GT(png.darkPixels(ax, ay - 3 * t.scale(), ax + 9 * t.scale(), ay + 1), 30);
}

TEST_F(Render, AnEmptyFileGivesAMessageAndNoPicture) {
  const render::RenderResult r = draw(FeatureStore(), "empty.png");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("nothing to draw"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(Render, FeaturesWithoutAPlaceAloneGiveAMessage) {
  FeatureStore s;
  addFeature(s, kLineFeature, 0, {"GONE"});
  const render::RenderResult r = draw(s, "dangling.png");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("no feature"), std::string::npos);
}

TEST_F(Render, AnExistingPictureIsReplacedOnlyWithOverwrite) {
  dir.write("old.png", "old");
  const render::RenderResult refused = draw(smallSurvey(), "old.png");
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.message.find("--overwrite"), std::string::npos);
  EXPECT_EQ(test::readFile(out), "old");
  render::RenderOptions options;
  options.overwrite = true;
  ASSERT_TRUE(draw(smallSurvey(), "old.png", options).ok);
  EXPECT_TRUE(Png(out).ok());
}

TEST_F(Render, OnlyPngSvgAndPdfNamesAreTaken) {
  render::PictureFormat f;
  EXPECT_TRUE(render::pictureFormatOf("a/B.PNG", f));
  EXPECT_EQ(f, render::PictureFormat::Png);
  EXPECT_FALSE(render::pictureFormatOf("a.jpg", f));
  const render::RenderResult r = draw(smallSurvey(), "small.jpg");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace dz
