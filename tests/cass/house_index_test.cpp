// The houses at END lines against the full walk: at every END every house of
// the file, in feature order, takes the unused texts inside it. The converter
// visits only houses whose answer can change; these tests hold it to the
// answers of the full walk on random files with many END lines, houses
// already in the file (with blocks of every length, and vertices whose
// points come only later), and texts at infinite positions.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>

#include "base/classic_scan.h"
#include "cass/house_import.h"
#include "standin/point_in_polygon.h"
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

// Coordinates as the converter sees them: first = north, second = east.
struct Spot {
  double first = 0, second = 0;
};

std::string number(double v) {
  if (std::isinf(v)) return v > 0 ? "1.0e999" : "-1.0e999";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

// The full walk at one END, on a model of the file: what the converter did
// before it kept an index, written out plainly.
class FullWalk {
 public:
  struct House {
    std::vector<std::string> refs;
    std::optional<std::vector<uint8_t>> block;
  };
  struct Text {
    std::string text;
    Spot at;
    bool used = false;
  };

  std::map<std::string, Spot> points;
  std::vector<House> houses;
  std::vector<Text> texts;

  void end() {
    for (House& h : houses) {
      std::vector<double> ring;
      bool nan = false;
      double minF = HUGE_VAL, maxF = -HUGE_VAL, minS = HUGE_VAL, maxS = -HUGE_VAL;
      for (const std::string& name : h.refs) {
        const auto it = points.find(name);
        const Spot p = it == points.end() ? Spot{} : it->second;  // a missing point reads as the origin
        ring.insert(ring.end(), {p.first, p.second});
        nan = nan || std::isnan(p.first) || std::isnan(p.second);
        minF = std::min(minF, p.first), maxF = std::max(maxF, p.first);
        minS = std::min(minS, p.second), maxS = std::max(maxS, p.second);
      }
      std::vector<uint8_t> stored(20, 0);
      size_t storedBytes = 0;
      if (h.block) {
        storedBytes = std::min<size_t>(h.block->size(), 20);
        std::copy(h.block->begin(), h.block->begin() + storedBytes, stored.begin());
      }
      std::vector<uint8_t> block(20, 0);
      bool applied = false;
      for (Text& t : texts) {
        if (t.used || h.refs.empty()) continue;
        const bool placed = std::isfinite(t.at.first) && std::isfinite(t.at.second);
        const bool inBox = t.at.first >= minF && t.at.first <= maxF && t.at.second >= minS && t.at.second <= maxS;
        if (placed && !nan && !inBox) continue;
        const double at[2] = {t.at.first, t.at.second};
        if (locatePointInRing(ring.data(), static_cast<int>(ring.size() / 2), at) != 2) continue;
        applied = true;
        std::copy(stored.begin(), stored.begin() + storedBytes, block.begin());
        t.used = true;
        if (hasStructureCharacter(t.text)) {
          putHouseStructure(block.data(), t.text);
          continue;
        }
        putLE<int16_t>(block.data(), 10, static_cast<int16_t>(classicAtoi(t.text)));
        if (block[0] != 0) break;
      }
      if (applied || !h.block || h.block->empty()) h.block = block;
    }
  }
};

// A random file: houses already in the output file, then a .cas of houses,
// lines and text sections with END lines among them, and the model of both.
struct RandomFile {
  std::string cas;
  std::vector<FullWalk::House> before;  // the houses in the file before the conversion
  FullWalk model;
  int ends = 0;

  explicit RandomFile(unsigned seed, int steps) {
    std::mt19937 random(seed);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const char* const words[] = {"砖", "混", "3", "12a", "木", "x", "2", "砼5"};
    // Houses in the file before: over points E1.., over X-names the
    // conversion makes only later, or over nothing.
    for (int h = 0; h < 6; ++h) {
      FullWalk::House house;
      const int kind = draw(0, 2);
      const int vertices = kind == 2 ? 0 : draw(3, 5);
      for (int v = 0; v < vertices; ++v) {
        std::string name = (kind == 0 ? "E" : "X") + std::to_string(draw(1, 12));
        if (kind == 0) model.points[name] = Spot{double(draw(0, 60)), double(draw(0, 60))};
        house.refs.push_back(name);
      }
      const int length = std::array<int, 5>{0, 0, 7, 20, 30}[draw(0, 4)];
      if (length > 0 || draw(0, 1)) house.block = std::vector<uint8_t>(length, static_cast<uint8_t>(draw(0, 3) ? 0 : 'a'));
      model.houses.push_back(house);
    }
    model.points["X2"] = Spot{5, 5};  // taken: the numbering passes over it
    before = model.houses;
    int next = 1;
    for (int step = 0; step < steps; ++step) {
      const int what = draw(0, 9);
      if (what < 3) {
        // A house: a box or an L, or now and then one out at infinity.
        const double f = draw(0, 50), s = draw(0, 50), w = draw(2, 15), d = draw(2, 15);
        std::vector<Spot> ring = {{f, s}, {f, s + w}, {f + d / 2, s + w}, {f + d / 2, s + w / 2}, {f + d, s + w / 2},
                                  {f + d, s}};
        if (draw(0, 30) == 0) ring[2].second = HUGE_VAL;
        cas += "LINE\n141101,h\n";
        FullWalk::House house;
        for (const Spot& p : ring) {
          cas += number(p.second) + "," + number(p.first) + "\n";
          std::string name;
          do name = "X" + std::to_string(next++);
          while (model.points.count(name));
          model.points[name] = p;
          house.refs.push_back(name);
        }
        house.refs.push_back(house.refs.front());  // closed
        model.houses.push_back(house);
        cas += "nil\n";
      } else if (what < 4) {
        // A line: points, no house.
        cas += "LINE\n123,l\n1.0,2.0\n3.0,4.0\nnil\n";
        for (int v = 0; v < 2; ++v) {
          std::string name;
          do name = "X" + std::to_string(next++);
          while (model.points.count(name));
          model.points[name] = Spot{v ? 4.0 : 2.0, v ? 3.0 : 1.0};
        }
      } else if (what < 8) {
        cas += "TEXT\n";
        for (int t = draw(1, 4); t > 0; --t) {
          FullWalk::Text text{words[draw(0, 7)], {draw(0, 130) / 2.0, draw(0, 130) / 2.0}};
          if (draw(0, 40) == 0) text.at.first = -HUGE_VAL;
          cas += text.text + ",t\n" + number(text.at.first) + "," + number(text.at.second) + "\n";
          model.texts.push_back(text);
        }
        cas += "nil\n";
      } else {
        cas += "END\n";
        if (!model.texts.empty()) model.end(), ++ends;
      }
    }
  }
};

class CassHouseIndex : public CassFixture {
 protected:
  // The houses of `file` in the output file before the conversion.
  void writeHousesBefore(const RandomFile& file) {
    FeatureFileEngine engine(dir.path());
    const QelHandle h = engine.OpenFeatureFile(dir.file("out.qel").c_str());
    for (const auto& [name, at] : file.model.points) {
      if (name[0] != 'E' && name != "X2") continue;
      PointRecord p{};
      copyName(p.name, name);
      p.north = at.first;
      p.east = at.second;
      engine.AddPoint(h, &p, 1);
    }
    for (const FullWalk::House& house : file.before) {
      std::vector<PointRef> refs(house.refs.size());
      for (size_t v = 0; v < refs.size(); ++v) copyName(refs[v].name, house.refs[v]);
      FeatureHeader header{};
      header.kind = kHouse;
      header.code = 2150;
      const std::vector<uint8_t> block = house.block.value_or(std::vector<uint8_t>());
      engine.AddFeature(h, &header, refs.data(), static_cast<int>(refs.size()), block.data(),
                        static_cast<int>(block.size()));
    }
    engine.CommitFeatureFile(h);
  }

  // The blocks of the house features, as the model keeps them.
  std::vector<std::vector<uint8_t>> blocks() const {
    std::vector<std::vector<uint8_t>> out;
    for (const StoredFeature& f : output.features())
      if (isHouseCode(f.header.code)) out.push_back(f.attributes().copy());
    return out;
  }
};

TEST_F(CassHouseIndex, AnswersAsTheFullWalkAtEveryEnd) {
  int ends = 0;
  for (unsigned seed = 1; seed <= 24; ++seed) {
    const RandomFile file(seed, 160);
    std::remove(dir.file("out.qel").c_str());
    writeHousesBefore(file);
    keepOutput = true;
    convert(file.cas);
    ASSERT_TRUE(ran);

    std::vector<std::vector<uint8_t>> expected;
    for (const FullWalk::House& h : file.model.houses) expected.push_back(h.block.value_or(std::vector<uint8_t>()));
    ASSERT_EQ(blocks(), expected) << "seed " << seed;
    std::vector<int16_t> used;
    for (const FullWalk::Text& t : file.model.texts) used.push_back(t.used ? 1 : 0);
    std::vector<int16_t> converted;
    for (int j = 0; j < converter->m_nTextEntries; ++j) converted.push_back(converter->m_TextEntries[j].used);
    ASSERT_EQ(converted, used) << "seed " << seed;
    ends += file.ends;
  }
  EXPECT_GT(ends, 200);  // the files had END lines with texts to give
}

// Each feature is read once and each vertex once, however many END lines
// follow: an END costs what changed since the last one, not the whole file.
TEST_F(CassHouseIndex, EachEndReadsOnlyWhatIsNew) {
  std::string cas;
  for (int i = 0; i < 150; ++i)
    cas += "LINE\n141101,h\n" + std::to_string(i * 20) + ".0,0.0\n" + std::to_string(i * 20 + 10) +
           ".0,0.0\n" + std::to_string(i * 20 + 10) + ".0,10.0\nnil\nTEXT\n3,t\n3.0," + std::to_string(i * 20 + 7) +
           ".0\nnil\nEND\n";
  convert(cas);
  const auto names = host->callNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "GetFeature"), 2 * 150);  // once to find it, once to visit it
  EXPECT_EQ(std::count(names.begin(), names.end(), "GetPointXY"), 4 * 150);
  EXPECT_LE(std::count(names.begin(), names.end(), "PointInPolygon"), 150);
  EXPECT_EQ(output.texts().size(), 150u);
}

// A house whose vertices all stand in one place asks the host about the texts
// at exactly that place (0.0 and -0.0 alike) and about no other, whether the
// texts came before the house or after it.
TEST_F(CassHouseIndex, AHouseOverOnePlaceIsAskedAboutTheTextsThere) {
  std::string houses, before = "TEXT\n", after = "TEXT\n";
  for (int i = 0; i < 40; ++i) {
    const std::string f = std::to_string(10 + i) + ".0", s = std::to_string(20 + 2 * i) + ".0";
    houses += "LINE\n141101,h\n" + s + "," + f + "\n" + s + "," + f + "\n" + s + "," + f + "\nnil\n";
    // A text line gives (first, second); a vertex line (second, first).
    std::string& texts = i % 2 ? before : after;
    texts += "3,t\n" + f + "," + s + "\n3,t\n" + f + ".5," + s + "\n3,t\n" + f + "," + s + "1\n";
  }
  houses += "LINE\n141101,h\n0.0,0.0\n0.0,0.0\n0.0,0.0\nnil\n";
  before += "3,t\n-0.0,-0.0\n";
  // The same after an ordinary house, whose level the texts are gridded at
  // first: the houses over one place then look their texts up there.
  for (const std::string& first : {std::string(), std::string("LINE\n141101,h\n1000.0,1000.0\n1010.0,1000.0\n"
                                                               "1010.0,1010.0\n1000.0,1010.0\nnil\n")}) {
    SCOPED_TRACE(first.empty() ? "houses over one place only" : "after an ordinary house");
    const std::string inside = first.empty() ? "" : "3,t\n1005.0,1005.0\n";
    convert(first + houses + before + inside + "nil\nEND\n" + after + "nil\nEND\n");
    const auto names = host->callNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "PointInPolygon"), first.empty() ? 41 : 42);
    EXPECT_EQ(output.texts().size(), first.empty() ? 121u : 122u);
  }
}

}  // namespace
}  // namespace dz::test
