// A feature file seen as GIS layers: the points, line features, parcels,
// boundary points, houses and text objects of a .qel with their geometry
// resolved to map coordinates and their attribute blocks decoded into typed
// fields, texts in UTF-8. The export writes these layers through GDAL and the
// render draws them, so both show the same thing; neither library is known
// here.
//
// Axis order. A point record holds north at byte 24 and east at byte 32; a
// text object's anchor holds the same two numbers in the same order (north,
// east): the house import tests text anchors against house outlines built
// from GetPointXY, which answers (byte 24, byte 32). Map coordinates here are
// x = east, y = north, the order GIS programs expect.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "standin/feature_store.h"

namespace dz::gis {

struct Coord {
  double x = 0;  // east
  double y = 0;  // north
  double z = 0;  // elevation, points only
};

enum class Shape {
  None,     // null geometry: a point reference names no point, or there are no points
  Point,    // coords[0]
  Line,     // the coords in order (a single point is given twice)
  Polygon,  // one ring, closed: the last coord equals the first
  Circle,   // coords[0] and coords[1] are the two ends of a diameter
};

struct Geometry {
  Shape shape = Shape::None;
  std::vector<Coord> coords;
};

enum class FieldType { Integer, Real, Text };

struct Field {
  std::string name;  // UTF-8
  FieldType type;
};

// A field value: absent, an integer, a real or a UTF-8 text.
using Value = std::variant<std::monostate, long long, double, std::string>;

struct LayerFeature {
  Geometry geometry;
  std::vector<Value> values;  // one per field of the layer
};

enum class LayerShape { Point, PointZ, Line, Polygon };

struct Layer {
  std::string name;
  LayerShape shape;
  std::vector<Field> fields;
  std::vector<LayerFeature> features;
  int nullGeometries = 0;
  int danglingFeatures = 0;  // of the null geometries: a point reference names no point
  bool hasCircles = false;

  // The number of the field `name`, or -1.
  int fieldIndex(std::string_view name) const;
};

struct SurveyLayers {
  // In the order of layerNames(); only layers that have features.
  std::vector<Layer> layers;
  // Features written with a null geometry because one of their point
  // references names no point in the file.
  int danglingFeatures = 0;

  const Layer* find(std::string_view name) const;
  bool empty() const { return layers.empty(); }
};

// points, lines, parcels, boundary_points, houses, texts.
const std::vector<std::string>& layerNames();

SurveyLayers buildSurveyLayers(const FeatureStore& store);

// Loads a .qel file whole; false with a message naming the file otherwise.
bool loadFeatureFile(const std::string& path, FeatureStore& store, std::string& error);

// A circle given by the two ends of a diameter as a closed line of
// `segments` straight pieces, for formats without curves: it starts and ends
// exactly at `a`, passes exactly through `b`, and runs counter-clockwise.
std::vector<Coord> circleAsLine(const Coord& a, const Coord& b, int segments);

// The value as a number (integers and reals), or as text; 0 and "" when absent.
double numberOf(const Value& v);
std::string textOf(const Value& v);

}  // namespace dz::gis
