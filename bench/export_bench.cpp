// A large survey exported: 10^5 features with their points and texts from the
// feature file's bytes to a finished GeoPackage, Shapefile folder and DXF.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/survey_generator.h"
#include "export/ogr_export.h"
#include "standin/qel_format.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

void exportTo(benchmark::State& state, const char* format, const char* name) {
  const std::string bytes = encodeQel(bench::largeSurvey(static_cast<int>(state.range(0))));
  test::TempDir dir;
  gis::ExportOptions options;
  options.format = format;
  options.overwrite = true;
  for (auto _ : state) {
    FeatureStore store;
    std::string reason;
    decodeQel(bytes, store, reason);
    const gis::ExportResult r = gis::exportSurvey(gis::buildSurveyLayers(store), dir.file(name), options);
    if (r.outcome != gis::Outcome::Ok) state.SkipWithError(r.message.c_str());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExportGeoPackage(benchmark::State& state) { exportTo(state, "GPKG", "survey.gpkg"); }
void BM_ExportShapefiles(benchmark::State& state) { exportTo(state, "ESRI Shapefile", "shp"); }
void BM_ExportDxf(benchmark::State& state) { exportTo(state, "DXF", "survey.dxf"); }

BENCHMARK(BM_ExportGeoPackage)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExportShapefiles)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExportDxf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
