// Engine throughput: adding and looking up points by name, committing and
// reloading a large file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "standin/point_index.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

void addPoints(dz::FeatureFileEngine& engine, QelHandle h, int n) {
  PointRecord p{};
  for (int i = 0; i < n; ++i) {
    dz::copyName(p.name, "P" + std::to_string(i));
    p.north = i;
    engine.AddPoint(h, &p, 1);
  }
}

void BM_AddAndFindPoints(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    dz::FeatureFileEngine engine(".");
    QelHandle h = engine.OpenFeatureFile("/nonexistent/bench.qel");
    addPoints(engine, h, n);
    int found = 0;
    for (int i = 0; i < n; ++i) found += engine.PointExists(h, ("P" + std::to_string(i)).c_str()) > 0;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AddAndFindPoints)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The index alone, filled with n names: lookups of names that are there and
// of names that are not (a point file's names checked before adding them).
void lookups(benchmark::State& state, bool present) {
  const int n = static_cast<int>(state.range(0));
  PointIndex index;
  std::vector<NameKey> keys;
  for (int i = 0; i < n; ++i) {
    index.insert(NameKey::of("P" + std::to_string(i)));
    keys.push_back(NameKey::of((present ? "P" : "Q") + std::to_string((i * 7919L) % n)));
  }
  for (auto _ : state) {
    uint64_t sum = 0;
    for (const NameKey& k : keys) sum += index.find(k);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
void BM_IndexFindPresent(benchmark::State& state) { lookups(state, true); }
void BM_IndexFindMissing(benchmark::State& state) { lookups(state, false); }
BENCHMARK(BM_IndexFindPresent)->Arg(100000)->Arg(2000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexFindMissing)->Arg(100000)->Arg(2000000)->Unit(benchmark::kMillisecond);

void BM_IndexInsert(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<NameKey> keys;
  for (int i = 0; i < n; ++i) keys.push_back(NameKey::of("P" + std::to_string(i)));
  for (auto _ : state) {
    PointIndex index;
    for (const NameKey& k : keys) index.insert(k);
    benchmark::DoNotOptimize(index.size());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IndexInsert)->Arg(2000000)->Unit(benchmark::kMillisecond);

// The same when the caller knew the count and reserved for it.
void BM_IndexInsertReserved(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<NameKey> keys;
  for (int i = 0; i < n; ++i) keys.push_back(NameKey::of("P" + std::to_string(i)));
  for (auto _ : state) {
    PointIndex index;
    index.reserve(keys.size());
    for (const NameKey& k : keys) index.insert(k);
    benchmark::DoNotOptimize(index.size());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IndexInsertReserved)->Arg(2000000)->Unit(benchmark::kMillisecond);

void BM_CommitAndReopen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  dz::test::TempDir dir;
  const std::string path = dir.file("bench.qel");
  for (auto _ : state) {
    dz::FeatureFileEngine engine(".");
    engine.startEmpty(path);
    QelHandle h = engine.OpenFeatureFile(path.c_str());
    addPoints(engine, h, n);
    engine.CommitFeatureFile(h);
    engine.CloseFeatureFile(h);
    benchmark::DoNotOptimize(engine.OpenFeatureFile(path.c_str()));
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CommitAndReopen)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
