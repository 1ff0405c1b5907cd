#include "attributes/attribute_attacher.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "base/fixed_field.h"
#include "base/line_reader.h"
#include "tests/attributes/cass_like_features.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using test::addFeature;
using test::addHouse;
using test::addParcel;
using test::addParcelLabel;
using test::pointRef;

const std::string kParcelMessage = "打不开宗地属性文件！！！";
const std::string kHouseMessage = "打不开房屋属性文件！！！";

// An engine that can fail one index and act between the features of a run.
class HookedEngine : public FeatureFileEngine {
 public:
  HookedEngine() : FeatureFileEngine(".") {}
  int16_t GetFeature(QelHandle f, int index, FeatureHeader* header, const PointRef** refs, int16_t* n,
                     const uint8_t** attributes, int* length) override {
    if (index == failIndex) return 0;
    const int16_t r = FeatureFileEngine::GetFeature(f, index, header, refs, n, attributes, length);
    if (afterGet) afterGet(index);
    return r;
  }
  int failIndex = 0;
  std::function<void(int)> afterGet;
};

class Attach : public ::testing::Test {
 protected:
  FeatureFileEngine& engine() { return host.engine; }
  std::vector<uint8_t> block(int index) { return engine().store(h)->features()[index - 1].attributes().copy(); }
  std::string text(int index, size_t offset, size_t width) {
    return fieldText(reinterpret_cast<const char*>(block(index).data()) + offset, width);
  }
  int16_t floors(int index) { return getLE<int16_t>(block(index).data(), 10); }
  void run(const std::string& parcels, const std::string& points, const std::string& houses) {
    attacher.m_strCategoryPath[0] = parcels;
    attacher.m_strCategoryPath[1] = points;
    attacher.m_strCategoryPath[2] = houses;
    host.calls.clear();
    attacher.Run(h);
  }

  test::TempDir dir;
  test::RecordingHost host;
  QelHandle h = host.engine.OpenFeatureFile(dir.file("t.qel").c_str());
  test::RecordingMessages messages;
  CAttributeAttacher attacher{host, messages};
  const std::string missing = dir.file("missing.txt");
};

TEST_F(Attach, FileWithoutFeaturesReadsAndTellsNothing) {
  run(missing, missing, missing);
  EXPECT_EQ(host.callNames(), std::vector<std::string>{"GetFeatureCount"});
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Attach, ParcelGetsItsLineInItsFieldsOnly) {
  addParcel(engine(), h, "0101", 0xEE);
  run(dir.write("p.txt", "0100 x\r\n0101 张三 f3 住宅 f5 G1 356.25 -1.5e2 f9 7 f11\r\n"), "", "");
  std::vector<uint8_t> expected = test::parcelBlock("0101", 0xEE);
  putLE<double>(expected.data(), 0, 356.25);
  putLE<double>(expected.data(), 8, -150.0);
  copyField(reinterpret_cast<char*>(expected.data()) + 80, 20, "住宅");
  copyField(reinterpret_cast<char*>(expected.data()) + 100, 80, "张三");
  copyField(reinterpret_cast<char*>(expected.data()) + 205, 15, "G1");
  EXPECT_EQ(block(1), expected);
}

TEST_F(Attach, UnmatchedParcelIsWrittenBackUnchangedOtherKindsAreNot) {
  addParcel(engine(), h, "0999", 0xEE);
  addParcelLabel(engine(), h, "0999");
  addHouse(engine(), h, "H9", "砖", 2);
  const std::string file = dir.write("any.txt", "0101 a b c d e 1 2\n");
  run(file, file, file);
  EXPECT_EQ(host.callNames(), (std::vector<std::string>{"GetFeatureCount", "GetFeature", "SetFeatureAttributes",
                                                        "GetFeature", "GetFeature"}));
  EXPECT_EQ(block(1), test::parcelBlock("0999", 0xEE));
}

TEST_F(Attach, PrefixGoesBeforeTheFileNumberOnlyWhenSwitchedOn) {
  for (const char* number : {"A0101", "0101", "A", "X0101"}) addParcel(engine(), h, number);
  const std::string parcels = dir.write("p.txt", "\n0101 owner\n");  // the blank line's number is empty
  attacher.m_strPrefix = "A";
  attacher.m_bUsePrefix = 1;
  run(parcels, "", "");
  EXPECT_EQ(text(1, 100, 80), "owner");
  EXPECT_EQ(text(2, 100, 80), "");
  EXPECT_EQ(block(3), test::parcelBlock("A"));
  EXPECT_EQ(text(4, 100, 80), "");
  EXPECT_EQ(attacher.m_summary.parcels.attached, 2);
  attacher.m_bUsePrefix = 0;
  run(parcels, "", "");
  EXPECT_EQ(text(2, 100, 80), "owner");
  EXPECT_EQ(attacher.m_summary.parcels.attached, 1);
}

TEST_F(Attach, FirstLineWinsAndShortLinesCarryTheFieldsBefore) {
  for (const char* name : {"H1", "H2", "H3", "H4", "H5", "H6"}) addHouse(engine(), h, name);
  run("", "", dir.write("h.txt", "H1 砖 3\nH1 木 5\nH2\nH3 混 x\nH4 钢 70000\nH5 石 -1\nH6 ABCDEFGHIJKL 4\n"));
  const std::pair<std::string, int> expected[] = {{"砖", 3}, {"木", 5}, {"混", 5}, {"钢", 4464}, {"石", -1},
                                                  {"ABCDEFGHI", 4}};
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(text(i, 0, 10), expected[i - 1].first) << i;
    EXPECT_EQ(block(i)[9], 0) << i;
    EXPECT_EQ(floors(i), expected[i - 1].second) << i;
  }
}

TEST_F(Attach, BoundaryTextsArePaddedWithZerosAndLongKeysCut) {
  addParcelLabel(engine(), h, "P0");           // a key-only first line: empty texts
  addParcelLabel(engine(), h, "P2");           // shorter texts after longer ones
  addParcelLabel(engine(), h, "ABCDEFGHIJK");  // the cut key of a 14-byte token
  addFeature(engine(), h, kBoundaryPoint, 7310, "", {pointRef("ABCDEFGHIJKL")}, {});  // 12 bytes never match
  run("",
      dir.write("b.txt",
                "P0\nP1 ABCDEFGHI ABCDEFGHI ABCDEF ABCDEFGH\nP2 a b c d\nABCDEFGHIJKLMN 0123456789XYZ 界 址 点\n"),
      "");
  std::vector<uint8_t> p2(kBoundaryPointAttributesSize, 0);
  p2[0] = 'a', p2[10] = 'b', p2[20] = 'c', p2[27] = 'd';
  EXPECT_EQ(block(1), std::vector<uint8_t>(kBoundaryPointAttributesSize, 0));
  EXPECT_EQ(block(2), p2);
  EXPECT_EQ(text(3, 0, 10), "012345678");
  EXPECT_EQ(text(3, 27, 9), "点");
  EXPECT_TRUE(block(4).empty());
}

TEST_F(Attach, TextsLongerThanTheirFieldAreCutBetweenCharacters) {
  // Each text is one byte longer than its field holds with its terminator,
  // so that a cut by bytes would keep the lead byte of its last character.
  auto chars = [](const char* c, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += c;
    return s;
  };
  addParcel(engine(), h, "0101");
  addParcelLabel(engine(), h, "P1");
  addHouse(engine(), h, "H1");
  run(dir.write("p.txt", "0101 " + chars("宗", 40) + " f3 " + chars("地", 10) + " f5 a" + chars("类", 7) + " 1 2\n"),
      dir.write("b.txt", "P1 界址点标志 界址点标志 a界址点 a界址点标志\n"), dir.write("h.txt", "H1 钢筋混凝土结构 3\n"));
  EXPECT_EQ(text(1, 100, 80), chars("宗", 39));
  EXPECT_EQ(text(1, 80, 20), chars("地", 9));
  EXPECT_EQ(text(1, 205, 15), "a" + chars("类", 6));
  EXPECT_EQ(text(2, 0, 10), "界址点标");
  EXPECT_EQ(text(2, 10, 10), "界址点标");
  EXPECT_EQ(text(2, 20, 7), "a界址");
  EXPECT_EQ(text(2, 27, 9), "a界址点");
  EXPECT_EQ(text(3, 0, 10), "钢筋混凝");
  EXPECT_EQ(floors(3), 3);
}

TEST_F(Attach, UnreadableFileIsToldOncePerFeatureOfItsKindAndTheWalkGoesOn) {
  addHouse(engine(), h, "H1");
  addParcel(engine(), h, "0101");
  addParcelLabel(engine(), h, "0101");
  addHouse(engine(), h, "H2");
  run(missing, dir.write("b.txt", "0101 a b c d\n"), missing);
  EXPECT_EQ(messages.shown, (std::vector<std::string>{kHouseMessage, kParcelMessage, kHouseMessage}));
  EXPECT_EQ(messages.types, (std::vector<unsigned>{ui::kMbOk, ui::kMbOk, ui::kMbOk}));
  EXPECT_EQ(host.callNames().back(), "GetFeature");  // the label was written before the last house
  EXPECT_EQ(text(3, 0, 10), "a");
}

TEST_F(Attach, StoredBlockOfAnotherLengthIsNeitherOverrunNorCut) {
  addFeature(engine(), h, kParcel, 7311, "", {}, {});  // no block
  std::vector<uint8_t> longParcel = test::parcelBlock("0101", 0xEE);
  longParcel.resize(300, 0xDD);
  addFeature(engine(), h, kParcel, 7311, "", {}, longParcel);
  addFeature(engine(), h, kBoundaryPoint, 7310, "", {pointRef("P1")}, {1, 2, 3, 4});
  addFeature(engine(), h, kHouse, 2110, "H1", {}, std::vector<uint8_t>(30, 0xCC));
  run(dir.write("p.txt", "0101 owner\n"), dir.write("b.txt", "P1 a\n"), dir.write("h.txt", "H1 砖 2\n"));
  EXPECT_EQ(block(1), std::vector<uint8_t>(kParcelAttributesSize, 0));
  ASSERT_EQ(block(2).size(), 300u);
  EXPECT_EQ(text(2, 100, 80), "owner");
  const std::vector<uint8_t> parcel = block(2);
  EXPECT_EQ(std::vector<uint8_t>(parcel.begin() + 228, parcel.end()), std::vector<uint8_t>(72, 0xDD));
  ASSERT_EQ(block(3).size(), 38u);
  EXPECT_EQ(text(3, 0, 10), "a");
  ASSERT_EQ(block(4).size(), 30u);
  EXPECT_EQ(text(4, 0, 10), "砖");
  const std::vector<uint8_t> house = block(4);
  EXPECT_EQ(std::vector<uint8_t>(house.begin() + 12, house.end()), std::vector<uint8_t>(18, 0xCC));
}

TEST(AttachHost, FailuresAreSkippedAndEachFileIsReadOncePerRun) {
  test::TempDir dir;
  HookedEngine engine;
  const QelHandle h = engine.OpenFeatureFile(dir.file("t.qel").c_str());
  for (int i = 0; i < 3; ++i) addHouse(engine, h, "H1");
  test::RecordingMessages messages;
  CAttributeAttacher attacher(engine, messages);
  attacher.m_strCategoryPath[2] = dir.write("h.txt", "H1 砖 1\n");
  attacher.Run(0x7FFF);  // no such file
  EXPECT_EQ(attacher.m_summary.features, 0);
  engine.failIndex = 2;
  engine.afterGet = [&](int index) {
    if (index == 3) dir.write("h.txt", "H1 木 2\n");  // read already, for this run
  };
  attacher.Run(0x50000 | h);  // only the low 16 bits are the handle
  auto floorsOf = [&](int i) { return getLE<int16_t>(engine.store(h)->features()[i].attributes().data(), 10); };
  EXPECT_EQ(floorsOf(0), 1);
  EXPECT_EQ(floorsOf(1), 0);
  EXPECT_EQ(floorsOf(2), 1);
  engine.failIndex = 0;
  attacher.Run(h);  // the next run reads the file afresh
  EXPECT_EQ(floorsOf(1), 2);
  EXPECT_TRUE(messages.shown.empty());
}

// The attachment must answer exactly as scanning each file from its first
// line for every feature would: checked against that plain loop on files
// full of repeated keys, short, blank and malformed lines.
template <typename Fields>
bool firstMatchingLine(const std::string& path, const std::function<bool(const Fields&)>& matches, Fields& out) {
  LineReader reader;
  reader.open(path);
  std::string line;
  for (Fields fields; reader.readLine(line);) {
    fields.scan(line);
    if (matches(fields)) return out = fields, true;
  }
  return false;
}

TEST(AttachIndex, AnswersAsARescanFromTheTopWould) {
  const std::vector<std::string> keys = {"01", "02", "A01", "A", "长01", "A长01", std::string(44, 'K')};
  const std::vector<std::string> words = {"砖", "x", "LONGWORDLONGWORDLONGWORD", "7", "abc", "-2.5", "1e3",
                                          std::string(85, 'W'), "长长长长长长长长长长长长长长长长长长长长长长长长长长长长"};
  std::mt19937 random(20240611);
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  for (int round = 0; round < 40; ++round) {
    test::TempDir dir;
    std::string content;
    for (int line = 0; line < 30; ++line) {
      const unsigned shape = random() % 5;
      if (shape > 0) content += pick(keys);
      for (unsigned f = shape > 1 ? random() % 12 : 0; f > 0; --f) content += " " + pick(words);
      content += "\n";
    }
    const std::string path = dir.write("f.txt", content);
    FeatureFileEngine engine(".");
    const QelHandle h = engine.OpenFeatureFile(dir.file("t.qel").c_str());
    std::vector<std::string> numbers = keys;
    numbers.insert(numbers.end(), {"", "AA01", "B01", "A" + std::string(39, 'K')});
    for (const std::string& n : numbers) {
      addParcel(engine, h, n);
      addParcelLabel(engine, h, n);
      addHouse(engine, h, n);
      const int16_t otherKind[] = {0, 4, -1};
      addFeature(engine, h, otherKind[round % 3], 1, n, {pointRef(n)}, test::parcelBlock(n));
    }
    addFeature(engine, h, kBoundaryPoint, 7310, "", {}, {});  // no point: no key, even for the empty one
    test::RecordingMessages messages;
    CAttributeAttacher attacher(engine, messages);
    attacher.m_strPrefix = "A";
    attacher.m_bUsePrefix = round % 2;
    for (int c = 0; c < 3; ++c) attacher.m_strCategoryPath[c] = path;
    // Copied: the attachment writes the blocks where they are.
    struct Before {
      FeatureHeader header;
      std::vector<PointRef> refs;
      std::vector<uint8_t> attributes;
    };
    std::vector<Before> before;
    for (const StoredFeature& f : engine.store(h)->features())
      before.push_back({f.header, f.refs().copy(), f.attributes().copy()});
    attacher.Run(h);
    for (size_t i = 0; i < before.size(); ++i) {
      std::vector<uint8_t> expected = before[i].attributes;
      const std::string houseName = nameText(before[i].header.name);
      if (before[i].header.kind == kParcel && expected.size() == kParcelAttributesSize) {
        const std::string number = fieldText(reinterpret_cast<const char*>(expected.data()) + 40, 40);
        attributes::ParcelFields f;
        if (firstMatchingLine<attributes::ParcelFields>(path, [&](const auto& l) {
              return (attacher.m_bUsePrefix ? "A" : "") + std::string(l.number) == number;
            }, f))
          attributes::ParcelValues(f).applyTo(expected.data());
      } else if (before[i].header.kind == kBoundaryPoint && !before[i].refs.empty()) {
        const std::string pointName = nameText(before[i].refs[0].name);
        attributes::BoundaryPointFields f;
        auto same = [&](const attributes::BoundaryPointFields& l) { return l.name == pointName; };
        if (firstMatchingLine<attributes::BoundaryPointFields>(path, same, f))
          attributes::BoundaryPointValues(f).applyTo(expected.data());
      } else if (before[i].header.kind == kHouse) {
        attributes::HouseFields f;
        if (firstMatchingLine<attributes::HouseFields>(path, [&](const auto& l) { return l.name == houseName; }, f))
          attributes::HouseValues(f).applyTo(expected.data());
      }
      ASSERT_EQ(engine.store(h)->features()[i].attributes(), expected) << "round " << round << ", feature " << i + 1
                                                                     << "\n" << content;
    }
  }
}

}  // namespace
}  // namespace dz
