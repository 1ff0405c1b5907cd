// CASS conversion throughput: a generated exchange file of lines, polylines,
// circles, points, houses with texts and parcels, a 5,000-line code table,
// and the .qs and parcel attribute files of the parcels. Reports features
// converted per second; two sizes show that the time grows linearly. And a
// file of many END lines, in three sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "cass/cass_converter.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

constexpr int kTableLines = 5000;

class NoMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string&, unsigned) override {
    ++shown;
    return ui::kIdOk;
  }
  int shown = 0;
};

void append(std::string& out, const char* format, double a, double b) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  out += buffer;
}

struct Inputs {
  dz::test::TempDir dir;
  int features = 0;
  int texts = 0;
};

// Feature i sits in its own 10 x 10 cell; every 12th is a house with two
// texts inside it, every 50th a parcel with a .qs block and an attribute line.
void generate(Inputs& in, int features) {
  std::string table;
  for (int c = 0; c < kTableLines; ++c) {
    // The codes the file uses lie spread over the table, the last at its end.
    const int host = c % 7 == 0 ? 2120 : 4000 + c;
    table += std::to_string(100000 + c) + " " + std::to_string(host) + "\n";
  }
  table += "300000 7310\n301000 7311\n";
  in.dir.write("CASSCode.txt", table);

  std::string cas = "CASS9.0\n", qs, parcels, text = "TEXT\n";
  cas.reserve(static_cast<size_t>(features) * 80);
  for (int i = 0; i < features; ++i) {
    const double east = (i % 1000) * 10.0, north = (i / 1000) * 10.0;
    const int code = 100000 + (i * 37) % kTableLines;
    if (i % 12 == 0) {
      cas += "LINE\n100000,h" + std::to_string(i) + "\n";  // 100000 maps to a house
      append(cas, "%.3f,%.3f\n", east + 1, north + 1);
      append(cas, "%.3f,%.3f\n", east + 9, north + 1);
      append(cas, "%.3f,%.3f\n", east + 9, north + 9);
      append(cas, "%.3f,%.3f\nnil\n", east + 1, north + 9);
      text += "砖,t\n";
      append(text, "%.3f,%.3f\n", north + 5, east + 5);
      text += "3,t\n";
      append(text, "%.3f,%.3f\n", north + 6, east + 6);
      in.texts += 2;
    } else if (i % 50 == 1) {
      const std::string number = "P" + std::to_string(i);
      cas += "LINE\n301000," + number + "\n";
      append(cas, "%.3f,%.3f\n", east + 1, north + 1);
      append(cas, "%.3f,%.3f\n", east + 9, north + 1);
      append(cas, "%.3f,%.3f\nnil\nnil\n", east + 5, north + 9);
      qs += number + "\n3\n32.0\n";
      for (int k = 0; k < 3; ++k) {
        qs += "J" + std::to_string(i) + "_" + std::to_string(k) + "\n";
        append(qs, "%.3f\n%.3f\n", east + 1 + 4 * k, north + 1 + 4 * (k == 2));
      }
      qs += "E\n";
      parcels += "1 " + number + " x owner 32.0 0.0 32.0 place 国有土地所有权 a b\n";
    } else if (i % 10 == 2) {
      cas += "CIRCLE\n" + std::to_string(code) + ",c,2.5\n";
      append(cas, "%.3f,%.3f\nnil\n", east + 5, north + 5);
    } else if (i % 10 == 3) {
      cas += "POINT\n" + std::to_string(code) + ",p\n";
      append(cas, "%.3f,%.3f\nnil\n", east + 5, north + 5);
    } else if (i % 10 == 4) {
      cas += "PLINE\n" + std::to_string(code) + ",pl\n";
      for (int k = 0; k < 4; ++k) append(cas, "%.3f,%.3f\n", east + 2 * k, north + (k % 2) * 3);
      cas += "nil\n";
    } else {
      cas += "LINE\n" + std::to_string(code) + ",l\n";
      append(cas, "%.3f,%.3f\n", east, north);
      append(cas, "%.3f,%.3f\nnil\n", east + 9, north + 5);
    }
  }
  cas += text + "nil\nEND\n";
  in.dir.write("in.cas", cas);
  in.dir.write("in.qs", qs);
  in.dir.write("in.txt", parcels);
  in.features = features;
}

void BM_ConvertCas(benchmark::State& state) {
  Inputs in;
  generate(in, static_cast<int>(state.range(0)));
  int64_t written = 0;
  for (auto _ : state) {
    std::remove(in.dir.file("out.qel").c_str());
    dz::FeatureFileEngine engine(in.dir.path());
    NoMessages messages;
    CCassConverter converter(engine, messages);
    converter.m_strCasPath = in.dir.file("in.cas");
    converter.m_strQsPath = in.dir.file("in.qs");
    converter.m_strParcelPath = in.dir.file("in.txt");
    converter.m_strOutputPath = in.dir.file("out.qel");
    if (!converter.Run() || messages.shown != 0) state.SkipWithError("the conversion reported a problem");
    written = converter.m_nFeaturesAdded;
    state.counters["points"] = converter.m_nPointsAdded;
    state.counters["houses"] = converter.m_nHousesAdded;
    state.counters["parcels"] = converter.m_nParcelsAdded;
    state.counters["texts"] = converter.m_nTextsAdded;
  }
  state.counters["features"] = static_cast<double>(written);
  state.SetItemsProcessed(state.iterations() * in.features);
}
BENCHMARK(BM_ConvertCas)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A file of many END lines: each house comes with a text section of a text
// inside it and one outside (a street name that no house takes), then END.
// Every END gives the houses their texts; the time must grow with the file,
// not with its square.
void BM_ConvertManyEnds(benchmark::State& state) {
  Inputs in;
  in.dir.write("CASSCode.txt", "141101 2120\n");
  std::string cas;
  const int houses = static_cast<int>(state.range(0));
  for (int i = 0; i < houses; ++i) {
    const double east = (i % 1000) * 10.0, north = (i / 1000) * 10.0;
    cas += "LINE\n141101,h\n";
    append(cas, "%.3f,%.3f\n", east + 1, north + 1);
    append(cas, "%.3f,%.3f\n", east + 9, north + 1);
    append(cas, "%.3f,%.3f\n", east + 9, north + 9);
    append(cas, "%.3f,%.3f\nnil\nTEXT\n", east + 1, north + 9);
    cas += i % 2 ? "砖,t\n" : "3,t\n";
    append(cas, "%.3f,%.3f\n", north + 5, east + 5);
    cas += "路名,t\n";
    append(cas, "%.3f,%.3f\nnil\nEND\n", north + 5, east + 9.5);
  }
  in.dir.write("in.cas", cas);
  for (auto _ : state) {
    std::remove(in.dir.file("out.qel").c_str());
    dz::FeatureFileEngine engine(in.dir.path());
    NoMessages messages;
    CCassConverter converter(engine, messages);
    converter.m_strCasPath = in.dir.file("in.cas");
    converter.m_strOutputPath = in.dir.file("out.qel");
    if (!converter.Run() || converter.m_nHousesAdded != houses) state.SkipWithError("the conversion went wrong");
    state.counters["texts"] = converter.m_nTextsAdded;
  }
  state.counters["MB"] = static_cast<double>(cas.size()) / 1e6;
  state.SetItemsProcessed(state.iterations() * houses);
}
BENCHMARK(BM_ConvertManyEnds)->Arg(7500)->Arg(30000)->Arg(120000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace dz

BENCHMARK_MAIN();
