// A large survey drawn: 10^5 features (parcels, hatched houses, lines,
// circles) with their points and a text per house, from the feature file's
// bytes to the finished picture, as dobrenz render does it.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/survey_generator.h"
#include "export/survey_layers.h"
#include "standin/qel_format.h"
#include "render/map_renderer.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

void renderTo(benchmark::State& state, const char* name, render::Labels labels) {
  const std::string bytes = encodeQel(bench::largeSurvey(static_cast<int>(state.range(0))));
  test::TempDir dir;
  render::RenderOptions options;
  options.overwrite = true;
  options.labels = labels;
  for (auto _ : state) {
    FeatureStore store;
    std::string reason;
    decodeQel(bytes, store, reason);
    const render::RenderResult r = render::renderSurvey(gis::buildSurveyLayers(store), dir.file(name), options);
    if (!r.ok) state.SkipWithError(r.message.c_str());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RenderPng(benchmark::State& state) { renderTo(state, "survey.png", render::Labels::None); }
void BM_RenderPngWithPointNames(benchmark::State& state) { renderTo(state, "survey.png", render::Labels::Names); }
void BM_RenderSvg(benchmark::State& state) { renderTo(state, "survey.svg", render::Labels::None); }
void BM_RenderPdf(benchmark::State& state) { renderTo(state, "survey.pdf", render::Labels::None); }

BENCHMARK(BM_RenderPng)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderPngWithPointNames)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderSvg)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
