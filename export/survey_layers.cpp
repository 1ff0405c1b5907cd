#include "export/survey_layers.h"

#include <cmath>
#include <optional>
#include <unordered_map>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "export/attribute_blocks.h"
#include "host/records.h"
#include "standin/qel_format.h"

namespace dz::gis {
namespace {

// The vertex kind the CASS and EPSW conversions give both ends of a
// circle's diameter.
constexpr int16_t kCircleVertex = 3;

std::string utf8(std::string_view gbk) { return gbkToUtf8Escaped(gbk.substr(0, gbk.find('\0'))); }

Value text(const std::optional<std::string>& gbk) { return gbk ? Value(utf8(*gbk)) : Value(); }
Value real(const std::optional<double>& v) { return v ? Value(*v) : Value(); }
Value integer(const std::optional<int>& v) { return v ? Value(static_cast<long long>(*v)) : Value(); }
Value integer(long long v) { return Value(v); }

Coord mapCoord(const PointRecord& p) { return Coord{p.east, p.north, p.elev}; }

// Builds one layer's features with the fields given at construction.
class LayerBuilder {
 public:
  LayerBuilder(std::string name, LayerShape shape, std::vector<Field> fields) {
    layer_.name = std::move(name);
    layer_.shape = shape;
    layer_.fields = std::move(fields);
  }
  void add(Geometry geometry, std::vector<Value> values, bool dangling = false) {
    if (geometry.shape == Shape::None) ++layer_.nullGeometries;
    if (dangling) ++layer_.danglingFeatures;
    if (geometry.shape == Shape::Circle) layer_.hasCircles = true;
    values.resize(layer_.fields.size());
    layer_.features.push_back(LayerFeature{std::move(geometry), std::move(values)});
  }
  Layer take() { return std::move(layer_); }

 private:
  Layer layer_;
};

// The points a feature's references name, in order; false when one of them
// names no point of the file.
bool resolve(const FeatureStore& store, const StoredFeature& f, std::vector<Coord>& out) {
  out.clear();
  out.reserve(f.refs().size() + 1);
  for (const PointRef& ref : f.refs()) {
    const std::optional<PointRecord> p = store.findPoint(NameKey::of(ref.name));
    if (!p) return false;
    out.push_back(mapCoord(*p));
  }
  return true;
}

bool samePlace(const Coord& a, const Coord& b) { return a.x == b.x && a.y == b.y; }

Geometry lineGeometry(const StoredFeature& f, std::vector<Coord> coords) {
  if (coords.empty()) return {};
  for (Coord& c : coords) c.z = 0;
  if (coords.size() == 2 && f.refs()[0].kind == kCircleVertex && f.refs()[1].kind == kCircleVertex)
    return Geometry{Shape::Circle, std::move(coords)};
  // A feature of one vertex (a point feature, or one vertex of a tree row)
  // is kept as a line of zero length: a line needs two positions in every format.
  if (coords.size() == 1) coords.push_back(coords[0]);
  return Geometry{Shape::Line, std::move(coords)};
}

Geometry polygonGeometry(std::vector<Coord> coords) {
  if (coords.empty()) return {};
  for (Coord& c : coords) c.z = 0;
  if (coords.size() == 1 || !samePlace(coords.front(), coords.back())) coords.push_back(coords.front());
  return Geometry{Shape::Polygon, std::move(coords)};
}

Geometry pointGeometry(const std::vector<Coord>& coords) {
  if (coords.empty()) return {};
  return Geometry{Shape::Point, {Coord{coords[0].x, coords[0].y, 0}}};
}

std::vector<Field> featureFields(std::initializer_list<Field> more) {
  std::vector<Field> fields = {{"qel_index", FieldType::Integer}, {"name", FieldType::Text}, {"code", FieldType::Integer}};
  fields.insert(fields.end(), more);
  return fields;
}

std::vector<Value> featureValues(size_t index, const StoredFeature& f) {
  return {integer(static_cast<long long>(index)), Value(utf8(nameText(f.header.name))), integer(f.header.code)};
}

void append(std::vector<Value>& values, std::initializer_list<Value> more) { values.insert(values.end(), more); }

Layer buildPoints(const FeatureStore& store) {
  LayerBuilder b("points", LayerShape::PointZ,
                 {{"qel_index", FieldType::Integer}, {"name", FieldType::Text}, {"code", FieldType::Integer},
                  {"flag", FieldType::Integer}});
  size_t index = 0;
  for (const PointRecord& p : store.points()) {
    b.add(Geometry{Shape::Point, {mapCoord(p)}},
          {integer(static_cast<long long>(++index)), Value(utf8(nameText(p.name))), integer(p.code), integer(p.flag)});
  }
  return b.take();
}

// The text objects' own attribute fields become fields of the texts layer,
// in the order first met; a name that collides with a fixed field gets a
// suffix.
Layer buildTexts(const FeatureStore& store) {
  std::vector<Field> fields = {{"qel_index", FieldType::Integer}, {"text", FieldType::Text},
                               {"mode", FieldType::Integer},      {"height", FieldType::Real},
                               {"width", FieldType::Real},        {"angle", FieldType::Real}};
  std::unordered_map<std::string, size_t> byGbkName;
  for (const StoredText& t : store.texts()) {
    for (const auto& [name, value] : t.fields()) {
      if (byGbkName.count(name)) continue;
      std::string field = utf8(name);
      if (field.empty()) field = "field";
      for (int n = 2;; ++n) {
        bool taken = false;
        for (const Field& f : fields) taken = taken || f.name == field;
        if (!taken) break;
        field = utf8(name) + "_" + std::to_string(n);
      }
      byGbkName.emplace(name, fields.size());
      fields.push_back({field, FieldType::Text});
    }
  }
  LayerBuilder b("texts", LayerShape::Point, fields);
  size_t index = 0;
  for (const StoredText& t : store.texts()) {
    std::vector<Value> values = {integer(static_cast<long long>(++index)), Value(utf8(t.text())), integer(t.mode),
                                 Value(static_cast<double>(t.style().height)), Value(static_cast<double>(t.style().width)),
                                 Value(static_cast<double>(t.style().angle))};
    values.resize(fields.size());
    for (const auto& [name, value] : t.fields()) values[byGbkName.at(name)] = Value(utf8(value));
    b.add(Geometry{Shape::Point, {Coord{t.anchor[1], t.anchor[0], 0}}}, std::move(values));
  }
  return b.take();
}

}  // namespace

int Layer::fieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].name == name) return static_cast<int>(i);
  return -1;
}

const Layer* SurveyLayers::find(std::string_view name) const {
  for (const Layer& l : layers)
    if (l.name == name) return &l;
  return nullptr;
}

const std::vector<std::string>& layerNames() {
  static const std::vector<std::string> names = {"points", "lines", "parcels", "boundary_points", "houses", "texts"};
  return names;
}

SurveyLayers buildSurveyLayers(const FeatureStore& store) {
  LayerBuilder lines("lines", LayerShape::Line, featureFields({{"kind", FieldType::Integer}}));
  LayerBuilder parcels("parcels", LayerShape::Polygon,
                       featureFields({{"parcel_no", FieldType::Text},
                                      {"area", FieldType::Real},
                                      {"floor_area", FieldType::Real},
                                      {"footprint", FieldType::Real},
                                      {"land_use", FieldType::Text},
                                      {"owner", FieldType::Text},
                                      {"map_sheet", FieldType::Text},
                                      {"ownership", FieldType::Text},
                                      {"own_code", FieldType::Integer}}));
  LayerBuilder boundary("boundary_points", LayerShape::Point,
                        featureFields({{"point", FieldType::Text},
                                       {"marker", FieldType::Text},
                                       {"line_type", FieldType::Text},
                                       {"point_no", FieldType::Text},
                                       {"method", FieldType::Text}}));
  LayerBuilder houses("houses", LayerShape::Polygon,
                      featureFields({{"structure", FieldType::Text}, {"floors", FieldType::Integer}}));

  SurveyLayers result;
  std::vector<Coord> coords;
  size_t index = 0;
  for (const StoredFeature& f : store.features()) {
    ++index;
    const bool resolved = resolve(store, f, coords);
    if (!resolved) {
      ++result.danglingFeatures;
      coords.clear();
    }
    std::vector<Value> values = featureValues(index, f);
    switch (f.header.kind) {
      case kParcel: {
        const ParcelAttributes a = decodeParcelAttributes(f.attributes());
        const char* ownership = a.ownershipCode ? ownershipText(*a.ownershipCode) : nullptr;
        append(values, {text(a.parcelNo), real(a.area), real(a.floorArea), real(a.footprint), text(a.landUse),
                        text(a.owner), text(a.mapSheet), ownership ? Value(utf8(ownership)) : Value(),
                        integer(a.ownershipCode)});
        parcels.add(polygonGeometry(std::move(coords)), std::move(values), !resolved);
        break;
      }
      case kBoundaryPoint: {
        const BoundaryPointAttributes a = decodeBoundaryPointAttributes(f.attributes());
        append(values, {f.refs().empty() ? Value() : Value(utf8(nameText(f.refs()[0].name))), text(a.marker),
                        text(a.lineType), text(a.pointNo), text(a.method)});
        boundary.add(pointGeometry(coords), std::move(values), !resolved);
        break;
      }
      case kHouse: {
        const HouseAttributes a = decodeHouseAttributes(f.attributes());
        append(values, {text(a.structure), integer(a.floors)});
        houses.add(polygonGeometry(std::move(coords)), std::move(values), !resolved);
        break;
      }
      default:
        // Kind 0, and kinds no writer of ours produces, are line features;
        // the kind field tells them apart.
        append(values, {integer(f.header.kind)});
        lines.add(lineGeometry(f, std::move(coords)), std::move(values), !resolved);
        break;
    }
  }

  Layer all[] = {buildPoints(store), lines.take(), parcels.take(), boundary.take(), houses.take(), buildTexts(store)};
  for (Layer& layer : all)
    if (!layer.features.empty()) result.layers.push_back(std::move(layer));
  return result;
}

bool loadFeatureFile(const std::string& path, FeatureStore& store, std::string& error) {
  if (!fileExists(path)) {
    error = path + " does not exist";
    return false;
  }
  std::string reason;
  bool unreadable = false;
  if (readQelFile(path, store, reason, unreadable)) return true;
  error = unreadable ? path + " cannot be read" : path + ": " + reason;
  return false;
}

std::vector<Coord> circleAsLine(const Coord& a, const Coord& b, int segments) {
  if (segments < 2) segments = 2;
  if (segments % 2) ++segments;  // so that b is a vertex
  const double cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2;
  const double r = std::hypot(a.x - cx, a.y - cy);
  const double start = std::atan2(a.y - cy, a.x - cx);
  std::vector<Coord> line;
  line.reserve(static_cast<size_t>(segments) + 1);
  for (int k = 0; k <= segments; ++k) {
    if (k == 0 || k == segments) {
      line.push_back(Coord{a.x, a.y, 0});
    } else if (2 * k == segments) {
      line.push_back(Coord{b.x, b.y, 0});
    } else {
      const double t = start + 2 * M_PI * k / segments;
      line.push_back(Coord{cx + r * std::cos(t), cy + r * std::sin(t), 0});
    }
  }
  return line;
}

double numberOf(const Value& v) {
  if (const long long* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (const double* d = std::get_if<double>(&v)) return *d;
  return 0;
}

std::string textOf(const Value& v) {
  if (const std::string* s = std::get_if<std::string>(&v)) return *s;
  if (const long long* i = std::get_if<long long>(&v)) return std::to_string(*i);
  return "";
}

}  // namespace dz::gis
