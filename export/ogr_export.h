// Writes the layers of a feature file through GDAL/OGR into any vector format
// that GDAL can create: GeoPackage by default, GeoJSON, DXF, ESRI Shapefile,
// CSV and the others by their GDAL short name.
#pragma once

#include <string>
#include <vector>

#include "export/survey_layers.h"

namespace dz::gis {

struct ExportOptions {
  // A GDAL short name. Empty: the driver whose extension OUT carries when
  // that format holds many layers in one file, else GPKG.
  std::string format;
  // Anything GDAL accepts as a coordinate system (EPSG:4547, a PROJ string,
  // WKT). Empty: the output has none.
  std::string srs;
  // The layers to write, by name; empty: all that have features.
  std::vector<std::string> layers;
  // ESRI Shapefile only: the encoding of the DBF, "UTF-8" (default) or "GBK".
  std::string dbfEncoding;
  bool overwrite = false;
};

enum class Outcome {
  Ok,
  Failed,  // nothing was written (OUT is as it was)
  Usage,   // the options cannot work; nothing was tried
};

struct LayerSummary {
  std::string name;
  std::string path;  // the file it went to
  int features = 0;        // written
  int nullGeometries = 0;  // written without a geometry
  int dangling = 0;        // of those: a point reference names no point
  int leftOut = 0;         // not written: DXF has no entity without a place
};

struct ExportResult {
  Outcome outcome = Outcome::Ok;
  std::string message;       // why, when not Ok
  std::string format;        // the driver's short name
  bool folder = false;       // OUT is a folder with one file per layer
  std::string crs;           // the name of the CRS written; empty when none
  std::string crsNote;       // why a CRS given was not written, if so
  std::vector<LayerSummary> layers;
  std::vector<std::string> warnings;  // GDAL's, repeats folded with a count
};

ExportResult exportSurvey(const SurveyLayers& survey, const std::string& out, const ExportOptions& options);

// The short names of the drivers that can create vector files.
std::vector<std::string> vectorFormats();

}  // namespace dz::gis
