#include "export/ogr_export.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include "export/staged_output.h"

namespace dz::gis {
namespace {

// Circles in formats without curves: 72 pieces of 5 degrees.
constexpr int kCircleSegments = 72;
// DXF text objects name a font that AutoCAD on a Chinese Windows has.
constexpr char kDxfFont[] = "SimSun";

void registerDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

bool driverSays(GDALDriver* d, const char* capability) {
  const char* v = d->GetMetadataItem(capability);
  return v && EQUAL(v, "YES");
}

bool canCreateVectors(GDALDriver* d) { return driverSays(d, GDAL_DCAP_VECTOR) && driverSays(d, GDAL_DCAP_CREATE); }

std::vector<std::string> extensionsOf(GDALDriver* d) {
  std::vector<std::string> out;
  for (const char* key : {GDAL_DMD_EXTENSION, GDAL_DMD_EXTENSIONS}) {
    const char* v = d->GetMetadataItem(key);
    if (!v) continue;
    char** tokens = CSLTokenizeString(v);
    for (char** t = tokens; t && *t; ++t)
      if (std::find(out.begin(), out.end(), *t) == out.end()) out.push_back(*t);
    CSLDestroy(tokens);
  }
  return out;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// How a driver takes the six layers.
struct OutputFormat {
  GDALDriver* driver = nullptr;
  std::string name;
  bool dxf = false;          // one entities layer; our layer names become DXF layers
  bool folder = false;       // one file per layer in a folder
  bool curves = false;       // circles can stay circles
  bool keepsCrs = true;
  std::string extension;     // of the files in a folder
};

OutputFormat describe(GDALDriver* d) {
  OutputFormat f;
  f.driver = d;
  f.name = d->GetDescription();
  f.dxf = f.name == "DXF";
  f.folder = !f.dxf && !driverSays(d, GDAL_DCAP_MULTIPLE_VECTOR_LAYERS);
  f.curves = driverSays(d, GDAL_DCAP_CURVE_GEOMETRIES);
  f.keepsCrs = !f.dxf && f.name != "CSV";
  // GeoJSON lists json before geojson: the format's own name wins.
  const std::vector<std::string> ext = extensionsOf(d);
  const auto own = std::find(ext.begin(), ext.end(), lower(f.name));
  if (own != ext.end()) f.extension = *own;
  else if (!ext.empty()) f.extension = ext.front();
  return f;
}

// The driver for OUT when no format is given: the one whose extension OUT
// carries if it writes many layers into one file, else GeoPackage. An
// extension of a one-layer-per-file format is refused: such formats write a
// folder, and a folder named x.geojson would mislead.
bool formatFromExtension(const std::string& out, std::string& format, std::string& error) {
  const std::string ext = lower(std::filesystem::path(out).extension().string());
  format = "GPKG";
  if (ext.size() < 2) return true;
  GDALDriverManager* manager = GetGDALDriverManager();
  std::string folderFormat;
  for (int i = 0; i < manager->GetDriverCount(); ++i) {
    GDALDriver* d = manager->GetDriver(i);
    if (!canCreateVectors(d)) continue;
    const std::vector<std::string> exts = extensionsOf(d);
    if (std::find(exts.begin(), exts.end(), ext.substr(1)) == exts.end()) continue;
    const OutputFormat f = describe(d);
    if (!f.folder) {
      format = f.name;
      return true;
    }
    if (folderFormat.empty()) folderFormat = f.name;
  }
  if (!folderFormat.empty()) {
    error = out + ": " + folderFormat + " holds one layer per file and is written as a folder of files; "
            "name a folder as OUT and pass --format \"" + folderFormat + "\"";
    return false;
  }
  return true;
}

// GDAL's messages during an export: failures make it fail, warnings are
// passed on with repeats folded.
class GdalMessages {
 public:
  GdalMessages() { CPLPushErrorHandlerEx(&GdalMessages::handle, this); }
  ~GdalMessages() { CPLPopErrorHandler(); }
  GdalMessages(const GdalMessages&) = delete;
  GdalMessages& operator=(const GdalMessages&) = delete;

  int failures() const { return failures_; }
  const std::string& firstFailure() const { return firstFailure_; }
  std::vector<std::string> warnings() const {
    std::vector<std::string> out;
    for (const auto& [text, count] : warnings_) out.push_back(count > 1 ? text + " (" + std::to_string(count) + " times)" : text);
    return out;
  }

 private:
  static void CPL_STDCALL handle(CPLErr level, CPLErrorNum, const char* message) {
    auto* self = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
    const std::string text = message ? message : "";
    if (level == CE_Failure || level == CE_Fatal) {
      if (self->failures_++ == 0) self->firstFailure_ = text;
    } else if (level == CE_Warning) {
      for (auto& w : self->warnings_)
        if (w.first == text) {
          ++w.second;
          return;
        }
      self->warnings_.emplace_back(text, 1);
    }
  }

  int failures_ = 0;
  std::string firstFailure_;
  std::vector<std::pair<std::string, int>> warnings_;
};

// A configuration option of GDAL for this thread, for the length of a scope.
class ScopedConfig {
 public:
  ScopedConfig(const char* key, const char* value) : key_(key) {
    const char* old = CPLGetThreadLocalConfigOption(key, nullptr);
    if (old) old_ = old, hadOld_ = true;
    CPLSetThreadLocalConfigOption(key, value);
  }
  ~ScopedConfig() { CPLSetThreadLocalConfigOption(key_, hadOld_ ? old_.c_str() : nullptr); }

 private:
  const char* key_;
  std::string old_;
  bool hadOld_ = false;
};

struct DatasetCloser {
  void operator()(GDALDataset* ds) const { GDALClose(ds); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

OGRwkbGeometryType layerType(const Layer& layer, const OutputFormat& format) {
  switch (layer.shape) {
    case LayerShape::PointZ: return wkbPoint25D;
    case LayerShape::Point: return wkbPoint;
    case LayerShape::Polygon: return wkbPolygon;
    case LayerShape::Line: return layer.hasCircles && format.curves ? wkbCurve : wkbLineString;
  }
  return wkbUnknown;
}

void addPoints(OGRSimpleCurve& curve, const std::vector<Coord>& coords) {
  curve.setNumPoints(static_cast<int>(coords.size()), FALSE);
  for (size_t i = 0; i < coords.size(); ++i) curve.setPoint(static_cast<int>(i), coords[i].x, coords[i].y);
}

std::unique_ptr<OGRGeometry> toOgr(const Geometry& g, LayerShape shape, const OutputFormat& format) {
  switch (g.shape) {
    case Shape::None:
      return nullptr;
    case Shape::Point: {
      const Coord& c = g.coords[0];
      if (shape == LayerShape::PointZ) return std::make_unique<OGRPoint>(c.x, c.y, c.z);
      return std::make_unique<OGRPoint>(c.x, c.y);
    }
    case Shape::Line: {
      auto line = std::make_unique<OGRLineString>();
      addPoints(*line, g.coords);
      return line;
    }
    case Shape::Polygon: {
      auto ring = std::make_unique<OGRLinearRing>();
      addPoints(*ring, g.coords);
      auto polygon = std::make_unique<OGRPolygon>();
      polygon->addRingDirectly(ring.release());
      return polygon;
    }
    case Shape::Circle: {
      if (format.curves) {
        // A circular string that ends where it starts is a whole circle
        // through the point opposite the start.
        auto arc = std::make_unique<OGRCircularString>();
        addPoints(*arc, {g.coords[0], g.coords[1], g.coords[0]});
        return arc;
      }
      auto line = std::make_unique<OGRLineString>();
      addPoints(*line, circleAsLine(g.coords[0], g.coords[1], kCircleSegments));
      return line;
    }
  }
  return nullptr;
}

void setValue(OGRFeature& f, int i, const Value& v) {
  if (const long long* n = std::get_if<long long>(&v)) {
    f.SetField(i, static_cast<GIntBig>(*n));
  } else if (const double* d = std::get_if<double>(&v)) {
    f.SetField(i, *d);
  } else if (const std::string* s = std::get_if<std::string>(&v)) {
    f.SetField(i, s->c_str());
  } else {
    f.SetFieldNull(i);
  }
}

OGRFieldType ogrType(FieldType t) {
  switch (t) {
    case FieldType::Integer: return OFTInteger;
    case FieldType::Real: return OFTReal;
    case FieldType::Text: return OFTString;
  }
  return OFTString;
}

// Widths for the DBF of a shapefile, whose default text width (80) would cut
// long names: each text field as wide as its longest value.
int dbfTextWidth(const Layer& layer, size_t field) {
  size_t widest = 1;
  for (const LayerFeature& f : layer.features)
    if (const std::string* s = std::get_if<std::string>(&f.values[field])) widest = std::max(widest, s->size());
  return static_cast<int>(std::min<size_t>(widest, 254));
}

// A DBF field name holds 10 bytes of the DBF's encoding. GDAL would cut a
// longer name inside a character ("注记类别" in UTF-8 is 12 bytes); here it
// is cut after the last whole character, and a name that is then taken gets
// a number at its end.
std::string dbfFieldName(const std::string& utf8, bool gbk, const std::vector<std::string>& taken) {
  auto cut = [&](size_t maxBytes) {
    size_t end = 0, bytes = 0;
    while (end < utf8.size()) {
      const unsigned char b = static_cast<unsigned char>(utf8[end]);
      const size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
      const size_t encoded = gbk ? (length == 1 ? 1 : 2) : length;
      if (bytes + encoded > maxBytes) break;
      bytes += encoded;
      end += length;
    }
    return utf8.substr(0, end);
  };
  std::string name = cut(10);
  for (int n = 2; std::find(taken.begin(), taken.end(), name) != taken.end(); ++n) {
    const std::string suffix = std::to_string(n);
    name = cut(10 - suffix.size()) + suffix;
  }
  return name;
}

bool createFields(OGRLayer& out, const Layer& layer, const OutputFormat& format, const ExportOptions& options) {
  std::vector<std::string> dbfNames;
  for (size_t i = 0; i < layer.fields.size(); ++i) {
    OGRFieldDefn defn(layer.fields[i].name.c_str(), ogrType(layer.fields[i].type));
    if (format.name == "ESRI Shapefile") {
      dbfNames.push_back(dbfFieldName(layer.fields[i].name, options.dbfEncoding == "GBK", dbfNames));
      defn.SetName(dbfNames.back().c_str());
      if (layer.fields[i].type == FieldType::Text) defn.SetWidth(dbfTextWidth(layer, i));
      if (layer.fields[i].type == FieldType::Integer) defn.SetWidth(11);  // every 32-bit value, sign included
    }
    if (out.CreateField(&defn) != OGRERR_NONE) return false;
  }
  return true;
}

// The OGR feature style that makes the DXF driver write a text entity.
std::string dxfLabelStyle(const Layer& layer, const LayerFeature& f) {
  std::string text;
  for (char c : textOf(f.values[layer.fieldIndex("text")])) {
    if (c == '"' || c == '\\') text.push_back('\\');
    text.push_back(c);
  }
  std::string style = "LABEL(f:\"" + std::string(kDxfFont) + "\",t:\"" + text + "\"";
  const double height = numberOf(f.values[layer.fieldIndex("height")]);
  if (height > 0 && std::isfinite(height)) style += ",s:" + std::to_string(height) + "g";
  const double angle = numberOf(f.values[layer.fieldIndex("angle")]);
  if (angle != 0 && std::isfinite(angle)) style += ",a:" + std::to_string(angle);
  return style + ")";
}

// Writes the features of `layer` into `out`; false at the first one the
// driver refuses.
bool writeFeatures(GDALDataset& ds, OGRLayer& out, const Layer& layer, const OutputFormat& format,
                   LayerSummary& summary, std::string& error) {
  // One transaction per layer: GeoPackage and SQLite are a hundred times
  // faster so; drivers without transactions simply decline.
  const bool transaction = ds.StartTransaction() == OGRERR_NONE;
  OGRFeatureDefn* defn = out.GetLayerDefn();
  const int dxfLayerField = format.dxf ? defn->GetFieldIndex("Layer") : -1;
  for (const LayerFeature& f : layer.features) {
    if (format.dxf && f.geometry.shape == Shape::None) {
      --summary.features;
      --summary.nullGeometries;
      ++summary.leftOut;
      continue;
    }
    OGRFeature feature(defn);
    if (format.dxf) {
      if (dxfLayerField >= 0) feature.SetField(dxfLayerField, layer.name.c_str());
      if (layer.name == "texts") feature.SetStyleString(dxfLabelStyle(layer, f).c_str());
    } else {
      for (size_t i = 0; i < f.values.size(); ++i) setValue(feature, static_cast<int>(i), f.values[i]);
    }
    if (std::unique_ptr<OGRGeometry> g = toOgr(f.geometry, layer.shape, format)) {
      if (OGRSpatialReference* srs = out.GetSpatialRef()) g->assignSpatialReference(srs);
      feature.SetGeometryDirectly(g.release());
    }
    if (out.CreateFeature(&feature) != OGRERR_NONE) {
      error = "the " + format.name + " driver refused feature " + textOf(f.values[0]) + " of layer " + layer.name;
      if (transaction) ds.RollbackTransaction();
      return false;
    }
  }
  if (transaction && ds.CommitTransaction() != OGRERR_NONE) {
    error = "layer " + layer.name + " could not be committed";
    return false;
  }
  return true;
}

char** layerOptions(const OutputFormat& format, const ExportOptions& options) {
  char** lco = nullptr;
  if (format.name == "ESRI Shapefile") {
    // The .cpg tells readers the encoding; GDAL's name for GBK is CP936.
    lco = CSLSetNameValue(lco, "ENCODING", options.dbfEncoding == "GBK" ? "CP936" : "UTF-8");
  } else if (format.name == "GeoJSON") {
    lco = CSLSetNameValue(lco, "SIGNIFICANT_FIGURES", "17");
  } else if (format.name == "CSV") {
    lco = CSLSetNameValue(lco, "GEOMETRY", "AS_WKT");
    lco = CSLSetNameValue(lco, "CREATE_CSVT", "YES");  // so that numbers read back as numbers
  }
  return lco;
}

struct Plan {
  OutputFormat format;
  std::unique_ptr<OGRSpatialReference> srs;
  std::vector<const Layer*> layers;
};

// Checks the options against GDAL and the data; a usage error or a failure
// before anything is written.
bool makePlan(const SurveyLayers& survey, const std::string& out, const ExportOptions& options, Plan& plan,
              ExportResult& result) {
  auto usage = [&](const std::string& message) {
    result.outcome = Outcome::Usage;
    result.message = message;
    return false;
  };
  std::string formatName = options.format;
  if (formatName.empty()) {
    std::string error;
    if (!formatFromExtension(out, formatName, error)) return usage(error);
  }
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(formatName.c_str());
  if (!driver || !canCreateVectors(driver)) {
    std::string known;
    for (const std::string& f : vectorFormats()) known += (known.empty() ? "" : ", ") + f;
    return usage("--format " + formatName + ": GDAL has no driver of that name that can write vector data; "
                 "these can: " + known);
  }
  plan.format = describe(driver);
  result.format = plan.format.name;
  result.folder = plan.format.folder;

  if (!options.dbfEncoding.empty()) {
    if (plan.format.name != "ESRI Shapefile") return usage("--dbf-encoding is for the ESRI Shapefile format only");
    if (options.dbfEncoding != "GBK" && options.dbfEncoding != "UTF-8")
      return usage("--dbf-encoding " + options.dbfEncoding + ": expected GBK or UTF-8");
  }

  if (!options.srs.empty()) {
    plan.srs = std::make_unique<OGRSpatialReference>();
    if (plan.srs->SetFromUserInput(options.srs.c_str()) != OGRERR_NONE)
      return usage("--srs " + options.srs + ": GDAL does not know this coordinate system");
    // Our coordinates are east, north whatever axis order the CRS defines.
    plan.srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const char* auth = plan.srs->GetAuthorityName(nullptr);
    const char* code = plan.srs->GetAuthorityCode(nullptr);
    // A PROJ string makes a CRS GDAL names "unknown": the summary then shows it as given.
    const char* name = plan.srs->GetName();
    result.crs = name && *name && !EQUAL(name, "unknown") ? name : options.srs;
    if (auth && code) result.crs = std::string(auth) + ":" + code + " " + result.crs;
    if (!plan.format.keepsCrs) {
      result.crsNote = plan.format.name + " has no place for a coordinate system: " + result.crs + " is not written";
      result.crs.clear();
    }
  }

  for (const std::string& name : options.layers)
    if (std::find(layerNames().begin(), layerNames().end(), name) == layerNames().end())
      return usage("--layers: no layer is named " + name + "; the layers are points, lines, parcels, "
                   "boundary_points, houses, texts");
  for (const Layer& layer : survey.layers) {
    if (options.layers.empty() ||
        std::find(options.layers.begin(), options.layers.end(), layer.name) != options.layers.end())
      plan.layers.push_back(&layer);
  }
  if (plan.layers.empty()) {
    result.outcome = Outcome::Failed;
    result.message = options.layers.empty() ? "the feature file holds no points, features or texts: nothing to export"
                                            : "the layers asked for have no features: nothing to export";
    return false;
  }
  return true;
}

DatasetPtr createDataset(const OutputFormat& format, const std::string& path, std::string& error) {
  DatasetPtr ds(format.driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!ds) error = "GDAL cannot create " + path;
  return ds;
}

bool writeAll(const Plan& plan, const ExportOptions& options, const std::string& target, ExportResult& result,
              std::string& error) {
  namespace fs = std::filesystem;
  char** lco = layerOptions(plan.format, options);
  struct OptionsFree {
    char** p;
    ~OptionsFree() { CSLDestroy(p); }
  } freeLco{lco};

  // A GeoPackage without a CRS records "Undefined Cartesian SRS" instead of
  // its default "Undefined geographic SRS": survey coordinates are metres.
  OGRSpatialReference undefinedCartesian;
  OGRSpatialReference* layerSrs = plan.srs.get();
  if (!layerSrs && plan.format.name == "GPKG") {
    undefinedCartesian.SetLocalCS("Undefined cartesian SRS");
    layerSrs = &undefinedCartesian;
  }

  DatasetPtr shared;
  OGRLayer* dxfLayer = nullptr;
  if (!plan.format.folder) {
    shared = createDataset(plan.format, target, error);
    if (!shared) return false;
    if (plan.format.dxf) {
      dxfLayer = shared->CreateLayer("entities", nullptr, wkbUnknown, nullptr);
      if (!dxfLayer) {
        error = "GDAL cannot create the DXF entities";
        return false;
      }
    }
  }
  for (const Layer* layer : plan.layers) {
    LayerSummary summary{layer->name, target, static_cast<int>(layer->features.size()), layer->nullGeometries,
                         layer->danglingFeatures};
    DatasetPtr own;
    GDALDataset* ds = shared.get();
    if (plan.format.folder) {
      summary.path = (fs::path(target) / (layer->name + (plan.format.extension.empty() ? "" : "." + plan.format.extension))).string();
      own = createDataset(plan.format, summary.path, error);
      if (!own) return false;
      ds = own.get();
    }
    OGRLayer* out = dxfLayer;
    if (!out) {
      out = ds->CreateLayer(layer->name.c_str(), layerSrs, layerType(*layer, plan.format), lco);
      if (!out) {
        error = "the " + plan.format.name + " driver cannot create layer " + layer->name;
        return false;
      }
      if (!createFields(*out, *layer, plan.format, options)) {
        error = "the " + plan.format.name + " driver cannot create the fields of layer " + layer->name;
        return false;
      }
    }
    if (!writeFeatures(*ds, *out, *layer, plan.format, summary, error)) return false;
    result.layers.push_back(summary);
  }
  return true;
}

std::vector<std::string> ownStems() { return layerNames(); }

}  // namespace

std::vector<std::string> vectorFormats() {
  registerDrivers();
  std::vector<std::string> out;
  GDALDriverManager* manager = GetGDALDriverManager();
  for (int i = 0; i < manager->GetDriverCount(); ++i)
    if (canCreateVectors(manager->GetDriver(i))) out.push_back(manager->GetDriver(i)->GetDescription());
  return out;
}

ExportResult exportSurvey(const SurveyLayers& survey, const std::string& out, const ExportOptions& options) {
  registerDrivers();
  ExportResult result;
  GdalMessages messages;
  Plan plan;
  if (!makePlan(survey, out, options, plan, result)) return result;

  auto fail = [&](const std::string& message) {
    result.outcome = Outcome::Failed;
    result.message = message;
    result.layers.clear();
    result.warnings = messages.warnings();
    return result;
  };

  StagedOutput staged;
  std::string error;
  if (!staged.begin(out, plan.format.folder ? OutputKind::Folder : OutputKind::File, options.overwrite, ownStems(),
                    error))
    return fail(error);

  {
    // DXF areas as closed polylines, not as solid black hatches; WKT with
    // every digit a double needs.
    ScopedConfig hatch("DXF_WRITE_HATCH", "NO");
    ScopedConfig precision("OGR_WKT_PRECISION", "17");
    const bool written = writeAll(plan, options, staged.target(), result, error);
    // Datasets are closed (and flushed) on leaving writeAll: failures of
    // the closing count as well.
    if (!written) return fail("cannot export to " + out + ": " + error + (messages.failures() ? " (" + messages.firstFailure() + ")" : ""));
  }
  if (messages.failures()) return fail("cannot export to " + out + ": " + messages.firstFailure());
  if (!staged.commit(error)) return fail(error);

  // The summary names the files where they now are.
  for (LayerSummary& l : result.layers) {
    const std::string& stageTarget = staged.target();
    if (l.path.compare(0, stageTarget.size(), stageTarget) == 0) {
      std::filesystem::path p(out);
      while (p.has_relative_path() && !p.has_filename()) p = p.parent_path();
      l.path = p.string() + l.path.substr(stageTarget.size());
    }
  }
  result.warnings = messages.warnings();
  return result;
}

}  // namespace dz::gis
