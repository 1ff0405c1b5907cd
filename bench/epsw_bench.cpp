// EPSW conversion throughput: a .cor file of 1,000,000 points in features of
// ten, with a code table of a few hundred lines, converted into a new feature
// file (commit included); and a .not file of 100,000 annotations.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "epsw/epsw_converter.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

class QuietMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string&, unsigned) override { return ui::kIdYes; }
};

constexpr int kCodes = 400;

void writeTable(const dz::test::TempDir& dir) {
  std::string table;
  for (int i = 0; i < kCodes; ++i) table += std::to_string(1000 + i) + " " + std::to_string(7000 + i) + " code\n";
  dir.write("EPSWconvert.txt", table);
}

// `points` point lines, ten to a feature; every fifth point line names a
// point of the feature before, as shared vertices do.
std::string corText(int points) {
  std::string text;
  text.reserve(static_cast<size_t>(points) * 48);
  char line[128];
  for (int i = 0; i < points; ++i) {
    if (i % 10 == 0) {
      std::snprintf(line, sizeof line, "%d 10 %d $f\n", 1000 + (i / 10) % kCodes, (i / 10) % 5);
      text += line;
    }
    const int named = i % 5 == 4 && i >= 10 ? i - 10 : i;
    std::snprintf(line, sizeof line, "P%d %.3f %.3f %.2f 0 0\n", named, 500000 + i * 0.01, 3100000 + i * 0.02,
                  10 + i % 7 * 0.1);
    text += line;
  }
  return text;
}

std::string notText(int records) {
  std::string text;
  char line[160];
  for (int i = 0; i < records; ++i) {
    std::snprintf(line, sizeof line, "%d 注记%d\n%.3f %.3f 0 %d 2.5\n类别 0.8\n", i, i, 500000 + i * 0.01,
                  3100000 + i * 0.02, i % 90);
    text += line;
  }
  return text;
}

void runConversion(benchmark::State& state, const std::string& cor, const std::string& note, int items) {
  dz::test::TempDir dir;
  writeTable(dir);
  const std::string corPath = cor.empty() ? std::string() : dir.write("in.cor", cor);
  const std::string notPath = note.empty() ? std::string() : dir.write("in.not", note);
  const std::string out = dir.file("out.qel");
  for (auto _ : state) {
    dz::FeatureFileEngine engine(dir.path());
    engine.startEmpty(out);
    QuietMessages messages;
    CEpswConverter converter(engine, messages);
    converter.m_bConvertCor = corPath.empty() ? 0 : 1;
    converter.m_bConvertNot = notPath.empty() ? 0 : 1;
    converter.m_strCorPath = corPath;
    converter.m_strNotPath = notPath;
    converter.m_strOutputPath = out;
    if (!converter.OnOK()) state.SkipWithError("conversion failed");
  }
  state.SetItemsProcessed(state.iterations() * items);
}

void BM_ConvertCor(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  runConversion(state, corText(points), "", points);
}
BENCHMARK(BM_ConvertCor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertNot(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  runConversion(state, "", notText(records), records);
}
BENCHMARK(BM_ConvertNot)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
