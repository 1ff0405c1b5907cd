// From map coordinates (x east, y north) to picture coordinates (pixels or
// points, x to the right, y down): north up, east to the right, one scale
// for both axes, the data's extent fitted into the picture with a margin and
// centred.
#pragma once

#include "export/survey_layers.h"

namespace dz::render {

struct Extent {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool empty = true;

  void add(double x, double y);
};

// Every finite coordinate of every layer (a circle with its whole disc).
Extent surveyExtent(const gis::SurveyLayers& survey);

class MapTransform {
 public:
  // An extent of no size (a single point) is drawn as if it were
  // `minimumSpan` map units wide and high around its centre.
  static MapTransform fit(const Extent& extent, double width, double height, double margin,
                          double minimumSpan = 1.0);

  double toX(double x) const { return offsetX_ + (x - originX_) * scale_; }
  double toY(double y) const { return offsetY_ - (y - originY_) * scale_; }
  // Picture units per map unit.
  double scale() const { return scale_; }

 private:
  double scale_ = 1, originX_ = 0, originY_ = 0, offsetX_ = 0, offsetY_ = 0;
};

}  // namespace dz::render
