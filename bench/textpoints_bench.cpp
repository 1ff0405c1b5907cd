// Text point import throughput: a million-line point file in each layout, and
// the rename policy over a file where every name is already taken.
#include <benchmark/benchmark.h>

#include <string>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "textpoints/text_point_importer.h"

namespace dz {
namespace {

constexpr int kLines = 1000000;

const dz::test::TempDir& benchDir() {
  static const dz::test::TempDir dir;
  return dir;
}

// name,code,E,N,Z per line, as survey instruments export them.
const std::string& rowFile() {
  static const std::string path = [] {
    std::string text;
    text.reserve(kLines * 40);
    for (int i = 0; i < kLines; ++i)
      text += "P" + std::to_string(i) + "," + std::to_string(i % 7 == 0 ? 2001 : 0) + "," +
              std::to_string(53000 + i % 9973) + ".482," + std::to_string(31000 + i % 7919) + ".117,12." +
              std::to_string(i % 100) + "\r\n";
    return benchDir().write("row.txt", text);
  }();
  return path;
}

// One value per line, E, N and Z in turn.
const std::string& columnFile() {
  static const std::string path = [] {
    std::string text;
    text.reserve(kLines * 14);
    for (int i = 0; i < kLines; ++i) text += "V " + std::to_string(30000 + i % 9973) + ".125\n";
    return benchDir().write("column.txt", text);
  }();
  return path;
}

struct Run {
  dz::FeatureFileEngine engine{"."};
  dz::test::RecordingMessages messages;
  QelHandle file = engine.OpenFeatureFile("/nonexistent/bench.qel");
  CTextPointImporter importer{engine, messages};

  Run() {
    importer.m_hFile = file;
    importer.m_strSeparator = ",";
    importer.m_nLayout = CTextPointImporter::kRowLayout;
    importer.m_nEastPos = 3;
    importer.m_nNorthPos = 4;
    importer.m_nElevPos = 5;
    importer.m_nCodePos = 2;
    dz::copyName(importer.m_szPointName, "K1");
  }
};

void BM_ImportRowFile(benchmark::State& state) {
  const std::string& path = rowFile();
  for (auto _ : state) {
    Run run;
    run.importer.m_strPath = path;
    run.importer.ImportPoints();
    benchmark::DoNotOptimize(run.importer.LastCounts().added);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.SetLabel("items = points");
}
BENCHMARK(BM_ImportRowFile)->Unit(benchmark::kMillisecond);

void BM_ImportColumnFile(benchmark::State& state) {
  const std::string& path = columnFile();
  for (auto _ : state) {
    Run run;
    run.importer.m_strPath = path;
    run.importer.m_strSeparator.clear();
    run.importer.m_nLayout = CTextPointImporter::kColumnLayout;
    run.importer.m_nCycle = 3;
    run.importer.m_nValueField = 2;
    run.importer.m_nEastPos = 1;
    run.importer.m_nNorthPos = 2;
    run.importer.m_nElevPos = 3;
    run.importer.m_nCodePos = -1;
    run.importer.ImportPoints();
    benchmark::DoNotOptimize(run.importer.LastCounts().added);
  }
  state.SetItemsProcessed(state.iterations() * (kLines / 3));
  state.SetLabel("items = points");
}
BENCHMARK(BM_ImportColumnFile)->Unit(benchmark::kMillisecond);

// Every name the numbering reaches first is taken: the first point searches
// past all of them, the rest follow on from the counter.
void BM_ImportRenamingOverTakenNames(benchmark::State& state) {
  const std::string& path = rowFile();
  for (auto _ : state) {
    state.PauseTiming();
    Run run;
    PointRecord taken{};
    for (int i = 1; i <= kLines; ++i) {
      dz::copyName(taken.name, "K" + std::to_string(i));
      run.engine.AddPoint(run.file, &taken, 1);
    }
    run.importer.m_strPath = path;
    run.importer.m_nDupPolicy = CTextPointImporter::kDupRename;
    state.ResumeTiming();
    run.importer.ImportPoints();
    benchmark::DoNotOptimize(run.importer.LastCounts().renamed);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.SetLabel("items = points");
}
BENCHMARK(BM_ImportRenamingOverTakenNames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
