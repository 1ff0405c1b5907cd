#include "render/map_transform.h"

#include <algorithm>
#include <cmath>

namespace dz::render {

void Extent::add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    minX = maxX = x;
    minY = maxY = y;
    empty = false;
    return;
  }
  minX = std::min(minX, x);
  maxX = std::max(maxX, x);
  minY = std::min(minY, y);
  maxY = std::max(maxY, y);
}

Extent surveyExtent(const gis::SurveyLayers& survey) {
  Extent e;
  for (const gis::Layer& layer : survey.layers) {
    for (const gis::LayerFeature& f : layer.features) {
      const gis::Geometry& g = f.geometry;
      if (g.shape == gis::Shape::Circle) {
        const double cx = (g.coords[0].x + g.coords[1].x) / 2, cy = (g.coords[0].y + g.coords[1].y) / 2;
        const double r = std::hypot(g.coords[0].x - cx, g.coords[0].y - cy);
        e.add(cx - r, cy - r);
        e.add(cx + r, cy + r);
        continue;
      }
      for (const gis::Coord& c : g.coords) e.add(c.x, c.y);
    }
  }
  return e;
}

MapTransform MapTransform::fit(const Extent& extent, double width, double height, double margin,
                               double minimumSpan) {
  MapTransform t;
  double minX = extent.minX, maxX = extent.maxX, minY = extent.minY, maxY = extent.maxY;
  if (extent.empty) minX = maxX = minY = maxY = 0;
  if (maxX - minX <= 0 && maxY - minY <= 0) {
    minX -= minimumSpan / 2;
    maxX += minimumSpan / 2;
    minY -= minimumSpan / 2;
    maxY += minimumSpan / 2;
  }
  const double innerW = std::max(1.0, width - 2 * margin), innerH = std::max(1.0, height - 2 * margin);
  const double spanX = maxX - minX, spanY = maxY - minY;
  // A span of 0 on one axis leaves the scale to the other.
  const double sx = spanX > 0 ? innerW / spanX : INFINITY, sy = spanY > 0 ? innerH / spanY : INFINITY;
  t.scale_ = std::min(sx, sy);
  t.originX_ = (minX + maxX) / 2;
  t.originY_ = (minY + maxY) / 2;
  t.offsetX_ = width / 2;
  t.offsetY_ = height / 2;
  return t;
}

}  // namespace dz::render
