// dobrenz export: a feature file into GIS formats through GDAL/OGR.
//
// GDAL brings about a hundred shared libraries, whose loading would cost every
// run of dobrenz a sixth of a second. So the export runs in a program of its
// own, dobrenz-export, built from this file beside dobrenz with the same
// table (cli/helper_program.h). The Windows build has no GDAL and says so.
#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"

#if defined(DZ_EXPORT_PROGRAM) || defined(DZ_WITH_GIS)
#include "cli/helper_program.h"
#endif
#if defined(DZ_EXPORT_PROGRAM)
#include "export/ogr_export.h"
#include "export/survey_layers.h"
#endif

namespace dz::cli {
namespace {

#if defined(DZ_EXPORT_PROGRAM)

std::vector<std::string> splitList(const std::string& list) {
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    if (comma > start) items.push_back(list.substr(start, comma - start));
  if (start < list.size()) items.push_back(list.substr(start));
  return items;
}

std::string layerLine(const gis::LayerSummary& l, bool folder) {
  std::string line = l.name + ": " + std::to_string(l.features) + (l.features == 1 ? " feature" : " features");
  if (l.nullGeometries > 0) line += ", " + std::to_string(l.nullGeometries) + " without geometry";
  if (l.leftOut > 0) line += ", " + std::to_string(l.leftOut) + " without geometry left out";
  if (folder) line += " -> " + l.path;
  return line + "\n";
}

int runExport(const Options& options) {
  const std::string& qelPath = options.operands()[0];
  const std::string& out = options.operands()[1];
  gis::ExportOptions exportOptions;
  exportOptions.format = options.value("format");
  exportOptions.srs = options.value("srs");
  exportOptions.layers = splitList(options.value("layers"));
  exportOptions.dbfEncoding = options.value("dbf-encoding");
  exportOptions.overwrite = options.has("overwrite");
  if (options.has("layers") && exportOptions.layers.empty()) throw UsageError{"--layers names no layer"};

  FeatureStore store;
  std::string error;
  if (!gis::loadFeatureFile(qelPath, store, error)) {
    printError("dobrenz export: " + error);
    return kExitFailure;
  }
  const gis::ExportResult result = gis::exportSurvey(gis::buildSurveyLayers(store), out, exportOptions);
  for (const std::string& w : result.warnings) printError("dobrenz export: GDAL: " + w);
  switch (result.outcome) {
    case gis::Outcome::Usage:
      throw UsageError{result.message};
    case gis::Outcome::Failed:
      printError("dobrenz export: " + result.message);
      return kExitFailure;
    case gis::Outcome::Ok:
      break;
  }

  int dangling = 0;
  for (const gis::LayerSummary& l : result.layers) dangling += l.dangling;
  if (dangling > 0)
    printError("dobrenz export: " + std::to_string(dangling) +
               (dangling == 1 ? " feature names a point" : " features name points") + " that " + qelPath +
               " does not hold: written without geometry" + (result.format == "DXF" ? " (DXF: left out)" : ""));
  if (!result.crsNote.empty()) printError("dobrenz export: " + result.crsNote);

  std::string summary;
  for (const gis::LayerSummary& l : result.layers) summary += layerLine(l, result.folder);
  summary += result.crs.empty() ? "CRS: none (pass --srs, e.g. --srs EPSG:4547, to record one)\n"
                                : "CRS: " + result.crs + "\n";
  summary += "written to " + out + " (" + result.format + (result.folder ? ", one file per layer" : "") + ")\n";
  std::fputs(summary.c_str(), stdout);
  return kExitOk;
}

#elif defined(DZ_WITH_GIS)

int runExport(const Options& options) { return handOver("dobrenz-export", exportCommand(), options); }

#else

int runExport(const Options&) {
#ifdef _WIN32
  printError("export is not available in the Windows build: it writes through GDAL/OGR, which only the Linux "
             "build of dobrenz has; run 'dobrenz export' there.");
#else
  printError("export is not available in this build: it was configured without GDAL (DZ_GIS=OFF).");
#endif
  return kExitFailure;
}

#endif

}  // namespace

const Command& exportCommand() {
  static const Command command{
      "export",
      "write a feature file into GIS formats through GDAL (GeoPackage, Shapefile, DXF, ...)",
      "Writes the feature file through GDAL/OGR, one layer per kind: points, lines, parcels,\n"
      "boundary_points, houses, texts (those with features), x = east, y = north, attribute\n"
      "blocks as named fields, texts in UTF-8 (a byte that is not GBK as \\xNN).\n"
      "Formats that hold one layer per file (GeoJSON, ESRI Shapefile, CSV, ...) take OUT as\n"
      "a folder with one file per layer. A failed export leaves OUT as it was.\n"
      "docs/export.md lists every field. Linux only.",
      {
          textOption("format", "F", "GDAL short name of the format (default: from OUT's extension, else GPKG)")
              .notEmpty(),
          textOption("srs", "SRS", "coordinate system to record: EPSG:4547, a PROJ string or WKT (default: none)")
              .notEmpty(),
          textOption("layers", "L,...", "only these layers: points,lines,parcels,boundary_points,houses,texts")
              .notEmpty(),
          choiceOption("dbf-encoding", "UTF-8|GBK", "ESRI Shapefile: the encoding of the DBF (default: UTF-8)"),
          overwriteOption(),
      },
      "FILE.qel OUT",
      "a feature file and OUT",
      runExport,
  };
  return command;
}

}  // namespace dz::cli

#if defined(DZ_EXPORT_PROGRAM)
int main(int argc, char** argv) {
  return dz::cli::runHelperProgram(dz::cli::exportCommand(), "dobrenz-export", argc, argv);
}
#endif
