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

// The index alone over n records, as the store keeps them: lookups of names
// that are there and of names that are not (a point file's names checked
// before adding them), and filling it with and without a reserve.
struct IndexedPoints {
  PointIndex index;
  std::vector<PointRecord> records;
  std::vector<NameKey> keys;
  explicit IndexedPoints(int n) {
    PointRecord p{};
    for (int i = 0; i < n; ++i) {
      copyName(p.name, "P" + std::to_string(i));
      p.north = i;
      records.push_back(p);
      keys.push_back(NameKey::of(p.name));
    }
  }
  void fill(bool reserve) {
    index = PointIndex();
    if (reserve) index.reserve(keys.size());
    for (const NameKey& k : keys) index.insert(k, records.data());
  }
};

void lookups(benchmark::State& state, bool present) {
  const int n = static_cast<int>(state.range(0));
  IndexedPoints points(n);
  points.fill(false);
  std::vector<NameKey> asked;
  for (int i = 0; i < n; ++i) asked.push_back(NameKey::of((present ? "P" : "Q") + std::to_string((i * 7919L) % n)));
  for (auto _ : state) {
    uint64_t sum = 0;
    for (const NameKey& k : asked) {
      // A name found is read, as GetPoint and GetPointXY read it.
      const uint32_t i = points.index.find(k, points.records.data());
      sum += i == PointIndex::kNotFound ? 0 : static_cast<uint64_t>(points.records[i].north);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
void BM_IndexFindPresent(benchmark::State& state) { lookups(state, true); }
void BM_IndexFindMissing(benchmark::State& state) { lookups(state, false); }
BENCHMARK(BM_IndexFindPresent)->Arg(100000)->Arg(2000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexFindMissing)->Arg(100000)->Arg(2000000)->Unit(benchmark::kMillisecond);

void inserts(benchmark::State& state, bool reserve) {
  IndexedPoints points(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    points.fill(reserve);
    benchmark::DoNotOptimize(points.index.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_IndexInsert(benchmark::State& state) { inserts(state, false); }
void BM_IndexInsertReserved(benchmark::State& state) { inserts(state, true); }
BENCHMARK(BM_IndexInsert)->Arg(2000000)->Unit(benchmark::kMillisecond);
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
