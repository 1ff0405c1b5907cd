#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <random>

#include "base/classic_scan.h"
#include "cass/house_import.h"
#include "standin/point_in_polygon.h"
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

// A house over (north, east) 0..10 x 0..10; texts are tested at (first, second).
const std::string kHouse = "LINE\n141101,h\n0.0,0.0\n10.0,0.0\n10.0,10.0\n0.0,10.0\nnil\n";

std::string texts(std::initializer_list<std::pair<std::string, std::string>> entries) {
  std::string cas = "TEXT\n";
  for (const auto& e : entries) cas += e.first + ",t\n" + e.second + "\n";
  return cas + "nil\n";
}

std::string fixed1(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

std::vector<uint8_t> houseBlock(const std::string& structure, int16_t floors) {
  std::vector<uint8_t> block(20, 0);
  std::copy(structure.begin(), structure.end(), block.begin());
  putLE<int16_t>(block.data(), 10, floors);
  return block;
}

class CassHouse : public CassFixture {
 protected:
  std::vector<uint8_t> block(size_t i = 0) const { return output.features().at(i).attributes().copy(); }
  std::vector<int16_t> used() const {
    std::vector<int16_t> u;
    for (int j = 0; j < converter->m_nTextEntries; ++j) u.push_back(converter->m_TextEntries[j].used);
    return u;
  }
};

TEST_F(CassHouse, StructureAndFloorsFromTheTextsInside) {
  struct Case {
    const char* behaviour;
    std::string texts;
    std::vector<uint8_t> block;
    std::vector<int16_t> used;
  };
  // 白 (B0 D7) and ─ (A9 A4) together hold the bytes of 砖 (D7 A9) across
  // the boundary of two characters: a floor text, not a structure.
  const Case cases[] = {
      {"structure, then floors", texts({{"砖", "5,5"}, {"3", "6,6"}}), houseBlock("砖", 3), {1, 1}},
      {"floors, then structure", texts({{"3", "5,5"}, {"砖", "6,6"}}), houseBlock("砖", 3), {1, 1}},
      {"done once both are known", texts({{"砖", "5,5"}, {"3", "6,6"}, {"4", "7,7"}}), houseBlock("砖", 3), {1, 1, 0}},
      {"floors read as far as they form a number", texts({{"12a", "5,5"}}), houseBlock("", 12), {1}},
      {"outside or on the edge: 20 zero bytes", texts({{"砖", "50,50"}, {"3", "10,5"}}), houseBlock("", 0), {0, 0}},
      {"whole characters only", texts({{"\xB0\xD7\xA9\xA4", "5,5"}}), houseBlock("", 0), {1}},
      {"a long structure text is cut and leaves the floors", texts({{"3", "5,5"}, {"砖混结构房屋", "6,6"}}),
       houseBlock("砖混结构", 3), {1, 1}},
      {"each new text starts from the stored block", texts({{"混", "5,5"}}) + "END\n" + texts({{"砖", "6,6"}, {"5", "7,7"}}),
       houseBlock("混", 5), {1, 1, 1}},
  };
  for (const Case& c : cases) {
    convert(kHouse + c.texts + "END\n");
    EXPECT_EQ(block(), c.block) << c.behaviour;
    EXPECT_EQ(used(), c.used) << c.behaviour;
    EXPECT_EQ(+output.features()[0].header.kind, 3);
  }
}

TEST(HouseStructureText, EachOfTheThirteenCharactersCounts) {
  for (const char* c : {"砼", "混", "砖", "钢", "木", "土", "石", "竹", "建", "破", "秫", "电", "厕"})
    EXPECT_TRUE(hasStructureCharacter(std::string("2层") + c + "房")) << c;
  EXPECT_FALSE(hasStructureCharacter("3层"));
}

TEST_F(CassHouse, TextInTwoOverlappingHousesCountsForTheFirst) {
  convert(kHouse + "LINE\n141102,h2\n5.0,5.0\n15.0,5.0\n15.0,15.0\n5.0,15.0\nnil\n" +
          texts({{"砖", "7,7"}, {"木", "12,12"}}) + "END\n");
  EXPECT_EQ(block(0), houseBlock("砖", 0));
  EXPECT_EQ(block(1), houseBlock("木", 0));
}

TEST_F(CassHouse, NothingHappensAtEndBeforeAnyText) {
  convert(kHouse + "END\n");
  EXPECT_TRUE(block().empty());
  const auto names = host->callNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "GetFeatureCount"), 0);
}

TEST_F(CassHouse, SecondEndKeepsHouseAttributesAndWritesEveryTextOnce) {
  convert(kHouse + texts({{"砖", "5,5"}, {"3", "6,6"}, {"路名", "50,60"}}) + "END\n" + texts({{"新", "60,60"}}) +
          "END\n");
  EXPECT_EQ(block(), houseBlock("砖", 3));
  ASSERT_EQ(output.texts().size(), 4u);
  const StoredText& t = output.texts()[2];
  EXPECT_EQ(t.text(), std::string("路名\0", 5));  // the length counts the terminating zero
  EXPECT_EQ(t.anchor[0], 50.0);
  EXPECT_EQ(t.anchor[1], 60.0);
  EXPECT_EQ(t.mode, 2);
  TextStyle style{};
  style.height = 3.0f;
  style.width = 2.0f;
  style.w18 = 1;
  style.v44 = 1;
  EXPECT_EQ(std::memcmp(&t.style(), &style, sizeof style), 0);
  EXPECT_EQ(output.texts()[3].text(), std::string("新\0", 3));
}

class NoTextLayerEngine : public FeatureFileEngine {
 public:
  using FeatureFileEngine::FeatureFileEngine;
  QelHandle GetTextLayer(QelHandle) override { return 0; }
};

TEST_F(CassHouse, WithoutTextLayerHousesStillGetTheirAttributes) {
  dir.write("in.cas", kHouse + texts({{"砖", "5,5"}}) + "END\n");
  NoTextLayerEngine engine(dir.path());
  CCassConverter c(engine, messages);
  c.m_strCasPath = dir.file("in.cas");
  c.m_strOutputPath = dir.file("out.qel");
  ASSERT_TRUE(c.Run());
  FeatureStore store;
  std::string reason;
  ASSERT_TRUE(decodeQel(readFile(dir.file("out.qel")), store, reason)) << reason;
  EXPECT_TRUE(store.texts().empty());
  EXPECT_EQ(store.features()[0].attributes(), houseBlock("砖", 0));
}

TEST_F(CassHouse, LongerStoredBlockGivesItsFirst20Bytes) {
  // A house already in the file converted into, with a 30-byte block.
  std::vector<uint8_t> old(30);
  for (int i = 0; i < 30; ++i) old[i] = static_cast<uint8_t>(i < 9 ? 'a' + i : i);
  convert(kHouse);
  {
    FeatureFileEngine engine(dir.path());
    const QelHandle h = engine.OpenFeatureFile(dir.file("out.qel").c_str());
    engine.SetFeatureAttributes(h, 1, 3, old.data(), 30);
    engine.CommitFeatureFile(h);
  }
  keepOutput = true;
  convert(texts({{"7", "5,5"}}) + "END\n");
  std::vector<uint8_t> expected(old.begin(), old.begin() + 20);
  putLE<int16_t>(expected.data(), 10, 7);
  EXPECT_EQ(block(0), expected);
}

// The assignment with the bounding-box prefilter against the plain scan of
// every house with every text, on random concave, overlapping houses and
// texts on and off their edges.
TEST_F(CassHouse, PrefilteredAssignmentEqualsTheFullScan) {
  const char* const words[] = {"砖", "混", "3", "12a", "木", "x", "2"};
  for (unsigned seed = 1; seed <= 5; ++seed) {
    std::mt19937 random(seed);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<std::vector<double>> rings;  // north, east pairs, closed
    std::string cas;
    for (int h = 0; h < 40; ++h) {
      const double n = draw(0, 90), e = draw(0, 90), w = draw(2, 12), d = draw(2, 12);
      std::vector<double> ring = {n, e, n, e + w, n + d / 2, e + w, n + d / 2, e + w / 2, n + d, e + w / 2, n + d, e};
      cas += "LINE\n141101,h\n";
      for (size_t v = 0; v < ring.size(); v += 2) cas += fixed1(ring[v + 1]) + "," + fixed1(ring[v]) + "\n";
      cas += "nil\n";
      ring.insert(ring.end(), {n, e});
      rings.push_back(ring);
    }
    std::vector<std::pair<std::string, std::array<double, 2>>> all;
    cas += "TEXT\n";
    for (int t = 0; t < 300; ++t) {
      all.push_back({words[draw(0, 6)], {draw(0, 200) / 2.0, draw(0, 200) / 2.0}});
      cas += all.back().first + ",t\n" + fixed1(all.back().second[0]) + "," + fixed1(all.back().second[1]) + "\n";
    }
    convert(cas + "nil\nEND\n");

    std::vector<int16_t> taken(all.size(), 0);
    for (size_t h = 0; h < rings.size(); ++h) {
      std::vector<uint8_t> expected(20, 0);
      for (size_t j = 0; j < all.size(); ++j) {
        if (taken[j] || locatePointInRing(rings[h].data(), static_cast<int>(rings[h].size() / 2),
                                          all[j].second.data()) != 2)
          continue;
        taken[j] = 1;
        if (hasStructureCharacter(all[j].first)) {
          std::copy(all[j].first.begin(), all[j].first.end(), expected.begin());
          expected[all[j].first.size()] = 0;
          continue;
        }
        putLE<int16_t>(expected.data(), 10, static_cast<int16_t>(classicAtoi(all[j].first)));
        if (expected[0] != 0) break;
      }
      ASSERT_EQ(block(h), expected) << "seed " << seed << " house " << h;
    }
    EXPECT_EQ(used(), taken) << "seed " << seed;
    const auto names = host->callNames();
    EXPECT_LT(std::count(names.begin(), names.end(), "PointInPolygon"), 40 * 300 / 10);
  }
}

}  // namespace
}  // namespace dz::test
