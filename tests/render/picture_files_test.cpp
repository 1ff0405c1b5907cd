// SVG and PDF pictures read back by other readers: GDAL's XML parser and its
// PDF driver. Texts are drawn as glyph outlines in both, so what they say is
// checked in the PNG (render_test.cpp).
#include <cpl_minixml.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include "base/fixed_field.h"
#include "render/map_renderer.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

gis::SurveyLayers survey() {
  FeatureStore s;
  PointRecord p{};
  copyName(p.name, "K1");
  p.north = 3100200;
  p.east = 500100;
  s.addPoint(p);
  const double anchor[2] = {3100180, 500090};
  TextStyle style{};
  style.height = 3;
  s.addText(anchor, "测绘路", style, 0);
  return gis::buildSurveyLayers(s);
}

TEST(PictureFiles, SvgIsWellFormedXmlWithAnSvgRoot) {
  test::TempDir dir;
  const render::RenderResult r = render::renderSurvey(survey(), dir.file("p.svg"), {});
  ASSERT_TRUE(r.ok) << r.message;
  const std::string text = test::readFile(dir.file("p.svg"));
  CPLXMLNode* xml = CPLParseXMLString(text.c_str());
  ASSERT_NE(xml, nullptr) << "not well-formed";
  const CPLXMLNode* root = xml;
  while (root && (root->eType != CXT_Element || root->pszValue[0] == '?')) root = root->psNext;
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->pszValue, "svg");
  EXPECT_STREQ(CPLGetXMLValue(root, "width", ""), "1600pt");
  CPLDestroyXMLNode(xml);
  EXPECT_NE(text.find("glyph"), std::string::npos);  // the text, as outlines
}

TEST(PictureFiles, PdfOpensInGdalsPdfReaderAtTheSizeAsked) {
  test::TempDir dir;
  render::RenderOptions options;
  options.width = 800;
  options.height = 400;
  ASSERT_TRUE(render::renderSurvey(survey(), dir.file("p.pdf"), options).ok);
  const std::string pdf = test::readFile(dir.file("p.pdf"));
  EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
  EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
  GDALAllRegister();
  GDALDatasetUniquePtr opened(GDALDataset::Open(dir.file("p.pdf").c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  ASSERT_TRUE(opened) << "GDAL's PDF reader refuses it";
  // One page of 800 by 400 points, rasterised at whatever resolution GDAL picks.
  EXPECT_NEAR(opened->GetRasterXSize(), 2 * opened->GetRasterYSize(), 2);
}

}  // namespace
}  // namespace dz
