#include "render/map_renderer.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "export/staged_output.h"
#include "render/cjk_font.h"
#include "render/map_style.h"

namespace dz::render {
namespace {

using gis::Coord;
using gis::Layer;
using gis::LayerFeature;
using gis::Shape;

void setColour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

bool finite(const gis::Geometry& g) {
  for (const Coord& c : g.coords)
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) return false;
  return g.shape != Shape::None;
}

// The area-weighted centre of a ring; the mean of its vertices when it
// encloses no area.
void centroid(const std::vector<Coord>& ring, double& cx, double& cy) {
  double a = 0, sx = 0, sy = 0;
  const Coord& o = ring.front();  // relative to the first vertex: large coordinates lose no digits
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    const double x0 = ring[i].x - o.x, y0 = ring[i].y - o.y, x1 = ring[i + 1].x - o.x, y1 = ring[i + 1].y - o.y;
    const double cross = x0 * y1 - x1 * y0;
    a += cross;
    sx += (x0 + x1) * cross;
    sy += (y0 + y1) * cross;
  }
  if (std::fabs(a) > 1e-12) {
    cx = o.x + sx / (3 * a);
    cy = o.y + sy / (3 * a);
    return;
  }
  cx = cy = 0;
  for (const Coord& c : ring) cx += c.x, cy += c.y;
  cx /= ring.size();
  cy /= ring.size();
}

// 1, 2 or 5 times a power of ten, the largest not above `limit`.
double roundLength(double limit) {
  const double power = std::pow(10.0, std::floor(std::log10(limit)));
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= limit) return step * power;
  return power;
}

class Painter {
 public:
  Painter(cairo_t* cr, const MapTransform& t, const CjkFont& font, Labels labels, int width, int height)
      : cr_(cr), t_(t), font_(font), labels_(labels), width_(width), height_(height) {}

  void draw(const gis::SurveyLayers& survey) {
    setColour(cr_, style::kBackground);
    cairo_paint(cr_);
    cairo_set_font_face(cr_, font_.face());
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    if (const Layer* l = survey.find("parcels")) parcels(*l);
    if (const Layer* l = survey.find("houses")) houses(*l);
    if (const Layer* l = survey.find("lines")) lines(*l);
    if (const Layer* l = survey.find("boundary_points")) boundaryPoints(*l);
    if (const Layer* l = survey.find("points")) points(*l);
    if (const Layer* l = survey.find("texts")) texts(*l);
    // Labels last, so that no area covers them.
    if (const Layer* l = survey.find("parcels")) areaLabels(*l, [&](const LayerFeature& f) {
      return gis::textOf(f.values[l->fieldIndex("parcel_no")]);
    });
    if (const Layer* l = survey.find("houses")) areaLabels(*l, [&](const LayerFeature& f) { return houseLabel(*l, f); });
    if (labels_ != Labels::None) {
      if (const Layer* l = survey.find("points")) pointLabels(*l);
      if (labels_ == Labels::All)
        if (const Layer* l = survey.find("lines")) lineLabels(*l);
    }
    scaleBar();
    northArrow();
  }

 private:
  void path(const std::vector<Coord>& coords, bool close) {
    cairo_new_path(cr_);
    for (const Coord& c : coords) cairo_line_to(cr_, t_.toX(c.x), t_.toY(c.y));
    if (close) cairo_close_path(cr_);
  }

  void parcels(const Layer& layer) {
    cairo_set_line_width(cr_, style::kOutlineWidth);
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      path(f.geometry.coords, true);
      setColour(cr_, style::kParcelFill);
      cairo_fill_preserve(cr_);
      setColour(cr_, style::kParcelOutline);
      cairo_stroke(cr_);
    }
  }

  void houses(const Layer& layer) {
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      path(f.geometry.coords, true);
      setColour(cr_, style::kHouseFill);
      cairo_fill_preserve(cr_);
      // Hatching: lines at 45 degrees across the house's box, clipped to it.
      double x0, y0, x1, y1;
      cairo_path_extents(cr_, &x0, &y0, &x1, &y1);
      cairo_save(cr_);
      cairo_clip(cr_);
      setColour(cr_, style::kHouseHatch);
      cairo_set_line_width(cr_, 0.6);
      for (double x = x0 - (y1 - y0); x < x1; x += style::kHatchSpacing) {
        cairo_move_to(cr_, x, y1);
        cairo_line_to(cr_, x + (y1 - y0), y0);
      }
      cairo_stroke(cr_);
      cairo_restore(cr_);
      path(f.geometry.coords, true);
      setColour(cr_, style::kHouseOutline);
      cairo_set_line_width(cr_, style::kOutlineWidth);
      cairo_stroke(cr_);
    }
  }

  void lines(const Layer& layer) {
    const int code = layer.fieldIndex("code");
    cairo_set_line_width(cr_, style::kLineWidth);
    for (const LayerFeature& f : layer.features) {
      const gis::Geometry& g = f.geometry;
      if (!finite(g)) continue;
      setColour(cr_, style::lineColour(static_cast<long long>(gis::numberOf(f.values[code]))));
      if (g.shape == Shape::Circle) {
        const double cx = (g.coords[0].x + g.coords[1].x) / 2, cy = (g.coords[0].y + g.coords[1].y) / 2;
        cairo_new_path(cr_);
        cairo_arc(cr_, t_.toX(cx), t_.toY(cy), std::hypot(g.coords[0].x - cx, g.coords[0].y - cy) * t_.scale(), 0,
                  2 * M_PI);
        cairo_stroke(cr_);
      } else if (g.coords.size() == 2 && g.coords[0].x == g.coords[1].x && g.coords[0].y == g.coords[1].y) {
        // A feature of one point: a dot of the line's colour.
        cairo_new_path(cr_);
        cairo_arc(cr_, t_.toX(g.coords[0].x), t_.toY(g.coords[0].y), 2.5, 0, 2 * M_PI);
        cairo_fill(cr_);
      } else {
        path(g.coords, false);
        cairo_stroke(cr_);
      }
    }
  }

  void boundaryPoints(const Layer& layer) {
    setColour(cr_, style::kBoundaryPoint);
    cairo_set_line_width(cr_, 1);
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      cairo_new_path(cr_);
      cairo_arc(cr_, t_.toX(f.geometry.coords[0].x), t_.toY(f.geometry.coords[0].y), 3, 0, 2 * M_PI);
      cairo_stroke(cr_);
    }
  }

  void points(const Layer& layer) {
    setColour(cr_, style::kPoint);
    cairo_set_line_width(cr_, 1);
    const double h = style::kCrossHalf;
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      // On a pixel's centre, so that the one-pixel arms stay sharp.
      const double x = std::floor(t_.toX(f.geometry.coords[0].x)) + 0.5;
      const double y = std::floor(t_.toY(f.geometry.coords[0].y)) + 0.5;
      cairo_move_to(cr_, x - h, y);
      cairo_line_to(cr_, x + h, y);
      cairo_move_to(cr_, x, y - h);
      cairo_line_to(cr_, x, y + h);
    }
    cairo_stroke(cr_);
  }

  // Text objects at their anchors: the anchor is the start of the base line,
  // the height in map units, the angle in degrees counter-clockwise.
  void texts(const Layer& layer) {
    const int text = layer.fieldIndex("text"), height = layer.fieldIndex("height"), angle = layer.fieldIndex("angle");
    setColour(cr_, style::kText);
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      const std::string s = gis::textOf(f.values[text]);
      if (s.empty()) continue;
      const double h = gis::numberOf(f.values[height]) * t_.scale();
      const double size = h > 0 && std::isfinite(h) ? std::clamp(h, style::kMinTextSize, style::kMaxTextSize)
                                                     : style::kDefaultTextSize;
      const double a = gis::numberOf(f.values[angle]);
      cairo_save(cr_);
      cairo_translate(cr_, t_.toX(f.geometry.coords[0].x), t_.toY(f.geometry.coords[0].y));
      if (std::isfinite(a)) cairo_rotate(cr_, -a * M_PI / 180);
      cairo_set_font_size(cr_, size);
      cairo_move_to(cr_, 0, 0);
      cairo_show_text(cr_, s.c_str());
      cairo_restore(cr_);
    }
  }

  static std::string houseLabel(const Layer& layer, const LayerFeature& f) {
    std::string label = gis::textOf(f.values[layer.fieldIndex("structure")]);
    const double floors = gis::numberOf(f.values[layer.fieldIndex("floors")]);
    if (floors != 0) label += std::to_string(static_cast<long long>(floors));
    return label;
  }

  // A label with a white halo, so that it stays legible on lines and
  // hatching: the text drawn white a pixel off in eight directions, then in
  // its colour. Glyphs come from cairo's glyph cache this way; outlining
  // them as paths would cost a hundred times as much.
  void label(const std::string& text, double x, double y, double size) {
    if (text.empty()) return;
    cairo_set_font_size(cr_, size);
    showWithHalo(text, x, y);
  }

  void showWithHalo(const std::string& text, double x, double y) {
    setColour(cr_, style::kBackground);
    for (const auto& [dx, dy] : {std::pair{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}) {
      cairo_move_to(cr_, x + dx, y + dy);
      cairo_show_text(cr_, text.c_str());
    }
    setColour(cr_, style::kLabel);
    cairo_move_to(cr_, x, y);
    cairo_show_text(cr_, text.c_str());
  }

  // An area's label at its centre, drawn only when it fits inside the area's
  // box on the picture: a label wider than its parcel would only cover its
  // neighbours' (and at 10^5 parcels every label would).
  template <typename LabelOf>
  void areaLabels(const Layer& layer, LabelOf labelOf) {
    cairo_set_font_size(cr_, style::kLabelSize);
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      const std::string text = labelOf(f);
      if (text.empty()) continue;
      double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
      for (const Coord& c : f.geometry.coords) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
      }
      cairo_text_extents_t e;
      cairo_text_extents(cr_, text.c_str(), &e);
      if (e.width > (maxX - minX) * t_.scale() || e.height > (maxY - minY) * t_.scale()) continue;
      double cx, cy;
      centroid(f.geometry.coords, cx, cy);
      showWithHalo(text, t_.toX(cx) - e.x_bearing - e.width / 2, t_.toY(cy) - e.y_bearing - e.height / 2);
    }
  }

  void pointLabels(const Layer& layer) {
    const int name = layer.fieldIndex("name"), code = layer.fieldIndex("code");
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      std::string text = gis::textOf(f.values[name]);
      if (labels_ == Labels::All) text += " " + gis::textOf(f.values[code]);
      label(text, t_.toX(f.geometry.coords[0].x) + 5, t_.toY(f.geometry.coords[0].y) - 5, style::kLabelSize - 2);
    }
  }

  void lineLabels(const Layer& layer) {
    const int code = layer.fieldIndex("code");
    for (const LayerFeature& f : layer.features) {
      if (!finite(f.geometry)) continue;
      const Coord& c = f.geometry.coords[f.geometry.coords.size() / 2];
      label(gis::textOf(f.values[code]), t_.toX(c.x) + 4, t_.toY(c.y) + 12, style::kLabelSize - 2);
    }
  }

  // A bar of a round length near a fifth of the picture's width, in the
  // margin below the data, left.
  void scaleBar() {
    const double margin = pictureMargin(width_, height_);
    const double length = roundLength(0.2 * (width_ - 2 * margin) / t_.scale());
    if (!std::isfinite(length) || length <= 0) return;
    const double w = length * t_.scale(), x = margin, y = height_ - margin * 0.45;
    cairo_set_line_width(cr_, 1);
    for (int half = 0; half < 2; ++half) {
      cairo_rectangle(cr_, x + half * w / 2, y - 4, w / 2, 4);
      setColour(cr_, half ? style::kBackground : style::kFrame);
      cairo_fill_preserve(cr_);
      setColour(cr_, style::kFrame);
      cairo_stroke(cr_);
    }
    char text[64];
    std::snprintf(text, sizeof text, length >= 1 ? "%.0f m" : "%g m", length);
    cairo_set_font_size(cr_, style::kLabelSize - 1);
    cairo_move_to(cr_, x + w + 6, y);
    cairo_show_text(cr_, text);
  }

  // An arrow pointing up with an N, in the margin at the top right.
  void northArrow() {
    const double margin = pictureMargin(width_, height_);
    const double size = std::min(margin * 0.7, 40.0);
    const double x = width_ - margin * 0.6, top = margin * 0.15;
    setColour(cr_, style::kFrame);
    cairo_new_path(cr_);
    cairo_move_to(cr_, x, top);
    cairo_line_to(cr_, x + size * 0.3, top + size);
    cairo_line_to(cr_, x, top + size * 0.75);
    cairo_line_to(cr_, x - size * 0.3, top + size);
    cairo_close_path(cr_);
    cairo_fill(cr_);
    cairo_set_font_size(cr_, style::kLabelSize);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, "N", &e);
    cairo_move_to(cr_, x - size * 0.3 - e.x_advance - 3, top + size * 0.6);
    cairo_show_text(cr_, "N");
  }

  cairo_t* cr_;
  const MapTransform& t_;
  const CjkFont& font_;
  Labels labels_;
  int width_, height_;
};

std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

bool pictureFormatOf(const std::string& path, PictureFormat& format) {
  const std::string ext = lowerExtension(path);
  if (ext == ".png") format = PictureFormat::Png;
  else if (ext == ".svg") format = PictureFormat::Svg;
  else if (ext == ".pdf") format = PictureFormat::Pdf;
  else return false;
  return true;
}

double pictureMargin(int width, int height) { return std::max(28.0, 0.06 * std::min(width, height)); }

RenderResult renderSurvey(const gis::SurveyLayers& survey, const std::string& out, const RenderOptions& options) {
  RenderResult result;
  PictureFormat format;
  if (!pictureFormatOf(out, format)) {
    result.message = out + ": the picture's name must end in .png, .svg or .pdf";
    return result;
  }
  const Extent extent = surveyExtent(survey);
  if (extent.empty) {
    result.message = survey.empty() ? "the feature file holds no points, features or texts: nothing to draw"
                                    : "no feature of the file has a place on the map: nothing to draw";
    return result;
  }
  CjkFont font;
  if (!font.load(result.message)) return result;
  result.fontFamily = font.family();

  const int w = options.width, h = options.height;
  result.transform = MapTransform::fit(extent, w, h, pictureMargin(w, h));

  gis::StagedOutput staged;
  if (!staged.begin(out, gis::OutputKind::File, options.overwrite, {}, result.message)) return result;
  cairo_surface_t* surface = nullptr;
  switch (format) {
    case PictureFormat::Png: surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h); break;
    case PictureFormat::Svg: surface = cairo_svg_surface_create(staged.target().c_str(), w, h); break;
    case PictureFormat::Pdf: surface = cairo_pdf_surface_create(staged.target().c_str(), w, h); break;
  }
  cairo_t* cr = cairo_create(surface);
  Painter(cr, result.transform, font, options.labels, w, h).draw(survey);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  if (status == CAIRO_STATUS_SUCCESS && format == PictureFormat::Png)
    status = cairo_surface_write_to_png(surface, staged.target().c_str());
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    result.message = "cannot draw " + out + ": " + cairo_status_to_string(status);
    return result;
  }
  if (!staged.commit(result.message)) return result;
  result.ok = true;
  return result;
}

}  // namespace dz::render
