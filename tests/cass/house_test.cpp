#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "base/classic_scan.h"
#include "cass/house_import.h"
#include "standin/point_in_polygon.h"
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

// The house over (north, east) 0..10 x 0..10; texts are tested at (first, second).
const std::string kHouse = "LINE\n141101,h\n0.0,0.0\n10.0,0.0\n10.0,10.0\n0.0,10.0\nnil\n";

std::string texts(std::initializer_list<std::pair<std::string, std::string>> entries) {
  std::string cas = "TEXT\n";
  for (const auto& e : entries) cas += e.first + ",t\n" + e.second + "\n";
  return cas + "nil\n";
}

// A coordinate as a .cas file writes it: with a decimal point.
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
  const StoredFeature& house(size_t i = 0) const { return output.features().at(i); }
  int calls(const std::string& name) const {
    const auto names = host->callNames();
    return static_cast<int>(std::count(names.begin(), names.end(), name));
  }
};

TEST_F(CassHouse, StructureAndFloorsFromTheTextsInside) {
  convert(kHouse + texts({{"砖", "5,5"}, {"3", "6,6"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("砖", 3));
  EXPECT_EQ(+house().header.kind, 3);
  EXPECT_EQ(converter->m_TextEntries[0].used, 1);
  EXPECT_EQ(converter->m_TextEntries[1].used, 1);
}

TEST_F(CassHouse, FloorsFirstThenStructureGivesTheSame) {
  convert(kHouse + texts({{"3", "5,5"}, {"砖", "6,6"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("砖", 3));
}

TEST_F(CassHouse, HouseIsDoneOnceStructureAndFloorsAreKnown) {
  convert(kHouse + texts({{"砖", "5,5"}, {"3", "6,6"}, {"4", "7,7"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("砖", 3));
  EXPECT_EQ(converter->m_TextEntries[2].used, 0);
}

TEST_F(CassHouse, FloorTextIsReadAsFarAsItFormsANumber) {
  convert(kHouse + texts({{"12a", "5,5"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("", 12));
}

TEST_F(CassHouse, HouseWithoutTextGetsAnEmptyBlock) {
  convert(kHouse + texts({{"砖", "50,50"}, {"3", "10,5"}}) + "END\n");  // outside, and on the edge
  EXPECT_EQ(house().attributes, std::vector<uint8_t>(20, 0));
  EXPECT_EQ(converter->m_TextEntries[1].used, 0);
}

TEST_F(CassHouse, NothingHappensAtEndBeforeAnyText) {
  convert(kHouse + "END\n");
  EXPECT_TRUE(house().attributes.empty());
  EXPECT_EQ(calls("GetFeatureCount"), 0);
}

TEST_F(CassHouse, TextInTwoOverlappingHousesCountsForTheFirst) {
  const std::string second = "LINE\n141102,h2\n5.0,5.0\n15.0,5.0\n15.0,15.0\n5.0,15.0\nnil\n";
  convert(kHouse + second + texts({{"砖", "7,7"}, {"木", "12,12"}}) + "END\n");
  EXPECT_EQ(house(0).attributes, houseBlock("砖", 0));
  EXPECT_EQ(house(1).attributes, houseBlock("木", 0));
}

TEST_F(CassHouse, StructureCharacterIsFoundOnlyAsAWholeCharacter) {
  // 白 (B0 D7) followed by ─ (A9 A4) holds the bytes of 砖 (D7 A9) across
  // the boundary of two characters: it is a floor text, not a structure.
  const std::string text = "\xB0\xD7\xA9\xA4";
  EXPECT_FALSE(hasStructureCharacter(text));
  convert(kHouse + texts({{text, "5,5"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("", 0));
}

TEST(HouseStructureText, EachOfTheThirteenCharactersCounts) {
  for (const char* c : {"砼", "混", "砖", "钢", "木", "土", "石", "竹", "建", "破", "秫", "电", "厕"})
    EXPECT_TRUE(hasStructureCharacter(std::string("2层") + c + "房")) << c;
  EXPECT_FALSE(hasStructureCharacter("3层"));
  EXPECT_FALSE(hasStructureCharacter(""));
}

TEST_F(CassHouse, LongStructureTextIsCutAndLeavesTheFloorsAlone) {
  convert(kHouse + texts({{"3", "5,5"}, {"砖混结构房屋", "6,6"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("砖混结构", 3));
}

TEST_F(CassHouse, StoredBlockIsCopiedBackBeforeEachText) {
  // The first END gives the house 混; at the second, each new text starts
  // again from that block, so only the last one applied leaves its change.
  convert(kHouse + texts({{"混", "5,5"}}) + "END\n" + texts({{"砖", "6,6"}, {"5", "7,7"}}) + "END\n");
  EXPECT_EQ(house().attributes, houseBlock("混", 5));
}

TEST_F(CassHouse, SecondEndKeepsHouseAttributesAndWritesNoTextTwice) {
  convert(kHouse + texts({{"砖", "5,5"}, {"3", "6,6"}, {"路", "50,50"}}) + "END\n" + texts({{"新", "60,60"}}) +
          "END\n");
  EXPECT_EQ(house().attributes, houseBlock("砖", 3));
  ASSERT_EQ(output.texts().size(), 4u);
  EXPECT_EQ(output.texts()[2].text, std::string("路\0", 3));
  EXPECT_EQ(output.texts()[3].text, std::string("新\0", 3));
  EXPECT_EQ(converter->m_nTextsAdded, 4);
}

TEST_F(CassHouse, EveryTextBecomesATextObject) {
  convert(kHouse + texts({{"砖", "5,5"}, {"路名", "50,60"}}) + "END\n");
  ASSERT_EQ(output.texts().size(), 2u);
  const StoredText& t = output.texts()[1];
  EXPECT_EQ(t.text, std::string("路名\0", 5));  // the length counts the terminating zero
  EXPECT_EQ(t.anchor[0], 50.0);
  EXPECT_EQ(t.anchor[1], 60.0);
  EXPECT_EQ(t.mode, 2);
  TextStyle expected{};
  expected.height = 3.0f;
  expected.width = 2.0f;
  expected.w18 = 1;
  expected.v44 = 1;
  EXPECT_EQ(std::memcmp(&t.style, &expected, sizeof expected), 0);
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
  EXPECT_EQ(store.features()[0].attributes, houseBlock("砖", 0));
  EXPECT_EQ(c.m_nTextsAdded, 0);
}

TEST_F(CassHouse, HousesAlreadyInTheFileKeepOrTrimTheirBlocks) {
  // A file converted into holds two houses with 30-byte blocks: the one a
  // text applies to gets 20 bytes built on its first 20; the other keeps its own.
  {
    FeatureFileEngine engine(dir.path());
    const QelHandle h = engine.OpenFeatureFile(dir.file("out.qel").c_str());
    const double corners[4][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    for (int i = 0; i < 4; ++i) {
      PointRecord p{};
      copyName(p.name, "H" + std::to_string(i));
      p.north = corners[i][0];
      p.east = corners[i][1];
      engine.AddPoint(h, &p, 1);
    }
    std::vector<PointRef> refs(5);
    for (int i = 0; i < 5; ++i) copyName(refs[i].name, "H" + std::to_string(i % 4));
    FeatureHeader header{};
    header.kind = 3;
    header.code = 2150;
    std::vector<uint8_t> block(30);
    for (int i = 0; i < 30; ++i) block[i] = static_cast<uint8_t>('a' + i % 26);
    block[9] = 0;
    engine.AddFeature(h, &header, refs.data(), 5, block.data(), 30);
    for (auto& r : refs) copyName(r.name, "G");  // a house whose points are missing: all at (0, 0)
    engine.AddFeature(h, &header, refs.data(), 5, block.data(), 30);
    engine.CommitFeatureFile(h);
    engine.CloseFeatureFile(h);
  }
  convert(texts({{"7", "5,5"}}) + "END\n");
  ASSERT_EQ(output.features().size(), 2u);
  std::vector<uint8_t> expected(20);
  for (int i = 0; i < 20; ++i) expected[i] = static_cast<uint8_t>('a' + i % 26);
  expected[9] = 0;
  putLE<int16_t>(expected.data(), 10, 7);
  EXPECT_EQ(output.features()[0].attributes, expected);
  EXPECT_EQ(output.features()[1].attributes.size(), 30u);
}

// The houses x texts assignment with the bounding-box prefilter against the
// plain scan of every house with every text, on random concave and
// overlapping houses and texts on and off their edges.
TEST_F(CassHouse, PrefilteredAssignmentEqualsTheFullScan) {
  const char* const words[] = {"砖", "混", "3", "12a", "木", "x", "2"};
  for (unsigned seed = 1; seed <= 5; ++seed) {
    std::mt19937 random(seed);
    auto coordinate = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<std::vector<std::pair<double, double>>> houses;  // (north, east), closed
    std::string cas;
    for (int h = 0; h < 40; ++h) {
      const double n0 = coordinate(0, 90), e0 = coordinate(0, 90);
      const double w = coordinate(2, 12), d = coordinate(2, 12);
      std::vector<std::pair<double, double>> ring = {
          {n0, e0}, {n0, e0 + w}, {n0 + d / 2, e0 + w}, {n0 + d / 2, e0 + w / 2}, {n0 + d, e0 + w / 2}, {n0 + d, e0}};
      cas += "LINE\n141101,h\n";
      for (const auto& v : ring) cas += fixed1(v.second) + "," + fixed1(v.first) + "\n";
      cas += "nil\n";
      ring.push_back(ring.front());
      houses.push_back(ring);
    }
    struct Text {
      std::string text;
      double first, second;
    };
    std::vector<Text> all;
    cas += "TEXT\n";
    for (int t = 0; t < 300; ++t) {
      Text x{words[coordinate(0, 6)], coordinate(0, 200) / 2.0, coordinate(0, 200) / 2.0};
      cas += x.text + ",t\n" + fixed1(x.first) + "," + fixed1(x.second) + "\n";
      all.push_back(x);
    }
    std::remove(dir.file("out.qel").c_str());  // each seed converts into a new file
    convert(cas + "nil\nEND\n");

    std::vector<int> used(all.size(), 0);
    for (size_t h = 0; h < houses.size(); ++h) {
      std::vector<double> pairs;
      for (const auto& v : houses[h]) pairs.insert(pairs.end(), {v.first, v.second});
      std::vector<uint8_t> block(20, 0);
      for (size_t j = 0; j < all.size(); ++j) {
        const double at[2] = {all[j].first, all[j].second};
        if (used[j] || locatePointInRing(pairs.data(), static_cast<int>(houses[h].size()), at) != 2) continue;
        used[j] = 1;
        if (hasStructureCharacter(all[j].text)) {
          std::copy(all[j].text.begin(), all[j].text.end(), block.begin());
          block[all[j].text.size()] = 0;
          continue;
        }
        putLE<int16_t>(block.data(), 10, static_cast<int16_t>(classicAtoi(all[j].text)));
        if (block[0] != 0) break;
      }
      ASSERT_EQ(output.features()[h].attributes, block) << "seed " << seed << " house " << h;
    }
    for (size_t j = 0; j < all.size(); ++j)
      ASSERT_EQ(converter->m_TextEntries[j].used, used[j]) << "seed " << seed << " text " << j;
    EXPECT_LT(calls("PointInPolygon"), 40 * 300 / 10) << "the prefilter lets most pairs through";
  }
}

}  // namespace
}  // namespace dz::test
