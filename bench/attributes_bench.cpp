// Attribute attachment throughput: N features (a third each parcels,
// boundary points and houses) against three attribute files of N lines
// each, keys in shuffled order, one feature in ten without a line. The time
// per feature must stay flat as N grows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "attributes/attribute_attacher.h"
#include "attributes/attribute_files.h"
#include "standin/engine.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

class NoMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string&, unsigned) override { return ui::kIdOk; }
};

struct Workload {
  dz::test::TempDir dir;
  std::string parcels, points, houses;

  explicit Workload(int n) {
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::string p, b, h;
    for (int i : order) {
      const std::string k = std::to_string(i);
      p += "Z" + k + " 城关镇第" + k + "号 110101 住宅用地 城关镇中山路" + k + "号 G1-3 " + k + ".25 " + k +
           ".5 国有 1 无\n";
      b += "J" + k + " 钢钉 围墙 J1 解析法\n";
      h += "F" + k + " 砖 " + std::to_string(i % 30) + "\n";
    }
    parcels = dir.write("parcels.txt", p);
    points = dir.write("points.txt", b);
    houses = dir.write("houses.txt", h);
  }
};

void BM_AttachRun(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Workload work(n);
  dz::FeatureFileEngine engine(".");
  const QelHandle h = engine.OpenFeatureFile(work.dir.file("bench.qel").c_str());
  for (int i = 0; i < n; ++i) {
    // One feature in ten has a key that no line holds.
    const std::string k = std::to_string(i % 10 == 9 ? i + n : i);
    switch (i % 3) {
      case 0: dz::test::addParcel(engine, h, "Z" + k); break;
      case 1: dz::test::addParcelLabel(engine, h, "J" + k); break;
      default: dz::test::addHouse(engine, h, "F" + k); break;
    }
  }
  NoMessages messages;
  CAttributeAttacher attacher(engine, messages);
  attacher.m_strCategoryPath[CAttributeAttacher::kParcelCategory] = work.parcels;
  attacher.m_strCategoryPath[CAttributeAttacher::kBoundaryPointCategory] = work.points;
  attacher.m_strCategoryPath[CAttributeAttacher::kHouseCategory] = work.houses;
  for (auto _ : state) attacher.Run(h);
  const AttachmentSummary& s = attacher.m_summary;
  state.counters["attached"] = s.parcels.attached + s.boundaryPoints.attached + s.houses.attached;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AttachRun)->Arg(10000)->Arg(30000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

void BM_IndexParcelFile(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Workload work(n);
  for (auto _ : state) {
    dz::attributes::ParcelAttachmentIndex index;
    benchmark::DoNotOptimize(index.load(work.parcels));
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IndexParcelFile)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
