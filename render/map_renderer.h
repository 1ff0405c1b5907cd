// The picture of a feature file a surveyor looks at first, drawn with cairo
// into PNG, SVG or PDF by one drawing path: parcels lightly filled with their
// number, houses hatched with "structure floors", line features coloured by
// code, points as crosses, text objects in a Chinese font at their anchors, a
// scale bar and a north arrow.
#pragma once

#include <string>

#include "export/survey_layers.h"
#include "render/map_transform.h"

namespace dz::render {

enum class PictureFormat { Png, Svg, Pdf };

// From the file name's extension (.png, .svg, .pdf, any case); false when
// it is none of them.
bool pictureFormatOf(const std::string& path, PictureFormat& format);

enum class Labels {
  None,   // parcel numbers and house labels only
  Names,  // and the names of points
  All,    // and the codes of points and line features
};

struct RenderOptions {
  int width = 1600;   // pixels for PNG, points for SVG and PDF
  int height = 1200;
  Labels labels = Labels::None;
  bool overwrite = false;
};

// The margin around the data, in picture units: room for the scale bar and
// the north arrow.
double pictureMargin(int width, int height);

struct RenderResult {
  bool ok = false;
  std::string message;      // why not
  MapTransform transform;   // where map coordinates went
  std::string fontFamily;   // the Chinese font used
};

RenderResult renderSurvey(const gis::SurveyLayers& survey, const std::string& out, const RenderOptions& options);

}  // namespace dz::render
