// The attribute-file index on its own: what a key finds, at every size.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "attributes/attribute_files.h"
#include "tests/support/test_files.h"

namespace dz::attributes {
namespace {

class AttachmentIndexKeys : public ::testing::Test {
 protected:
  template <typename Index>
  void load(Index& index, const std::string& text) {
    ASSERT_TRUE(index.load(dir.write("file.txt", text)));
  }
  test::TempDir dir;
};

TEST_F(AttachmentIndexKeys, FindsEveryKeyThroughGrowthAndNoOtherName) {
  std::string text;
  const int n = 20000;
  for (int i = 0; i < n; ++i) text += "F" + std::to_string(i) + " 砖 " + std::to_string(i % 30) + "\n";
  HouseAttachmentIndex index;
  load(index, text);
  EXPECT_EQ(index.keyCount(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const HouseValues* v = index.find("F" + std::to_string(i));
    ASSERT_NE(v, nullptr) << i;
    ASSERT_EQ(v->floors, i % 30);
  }
  for (int i = 0; i < n; ++i) ASSERT_EQ(index.find("G" + std::to_string(i)), nullptr);
}

// The table is sized from the first lines' length: a file whose later
// lines are much shorter has more keys than that, and the table grows.
TEST_F(AttachmentIndexKeys, ShortLinesAfterLongOnesStillFindEveryKey) {
  std::string text;
  for (int i = 0; i < 64; ++i) text += "L" + std::to_string(i) + " " + std::string(300, 'x') + " 1\n";
  for (int i = 0; i < 20000; ++i) text += "S" + std::to_string(i) + "\n";
  HouseAttachmentIndex index;
  load(index, text);
  EXPECT_EQ(index.keyCount(), 20064u);
  for (int i = 0; i < 20000; ++i) ASSERT_NE(index.find("S" + std::to_string(i)), nullptr) << i;
  EXPECT_EQ(index.find("L63")->floors, 1);
}

TEST_F(AttachmentIndexKeys, KeysUseTheirWholeFieldLessOneByteAndNoMore) {
  ParcelAttachmentIndex parcels;
  const std::string longest(39, '7');
  load(parcels, longest + " a b c d e 1 2 f 3 g\n" + longest + "8 a b c d e 5 6 f 3 g\n");
  // The 40-byte token is cut to the same 39 bytes: its line comes second.
  EXPECT_EQ(parcels.keyCount(), 1u);
  ASSERT_NE(parcels.find(longest), nullptr);
  EXPECT_EQ(parcels.find(longest)->field7, 1);
  // A parcel number of all 40 bytes has no line.
  EXPECT_EQ(parcels.find(longest + "8"), nullptr);
  EXPECT_EQ(parcels.find(std::string(200, '7')), nullptr);

  BoundaryPointAttachmentIndex points;
  load(points, "ABCDEFGHIJK x y z w\n");
  EXPECT_NE(points.find("ABCDEFGHIJK"), nullptr);
  EXPECT_EQ(points.find("ABCDEFGHIJKL"), nullptr);
  EXPECT_EQ(points.find("ABCDEFGHIJ"), nullptr);
}

// Keys are compared in fields padded with zeros: a name with a zero inside
// must not pass for the key it starts with.
TEST_F(AttachmentIndexKeys, NamesWithAZeroInsideMatchNothing) {
  HouseAttachmentIndex index;
  load(index, "AB 砖 3\n");
  ASSERT_NE(index.find("AB"), nullptr);
  EXPECT_EQ(index.find(std::string("AB\0", 3)), nullptr);
  EXPECT_EQ(index.find(std::string("AB\0\0\0\0\0\0\0\0\0", 11)), nullptr);
}

// A blank line before any other leaves the key empty, and the empty key is
// then a key like any other; an empty file has none.
TEST_F(AttachmentIndexKeys, TheEmptyKeyIsAKeyOnlyWhenALineLeftIt) {
  HouseAttachmentIndex index;
  load(index, "\nF1 砖 2\n");
  EXPECT_NE(index.find(""), nullptr);
  load(index, "");
  EXPECT_EQ(index.find(""), nullptr);
  EXPECT_EQ(index.keyCount(), 0u);
}

TEST_F(AttachmentIndexKeys, LoadingAgainForgetsTheFileBefore) {
  HouseAttachmentIndex index;
  load(index, "F1 砖 2\n");
  load(index, "F2 砖 2\n");
  EXPECT_EQ(index.find("F1"), nullptr);
  EXPECT_NE(index.find("F2"), nullptr);
  EXPECT_FALSE(index.load(dir.file("missing.txt")));
  EXPECT_EQ(index.find("F2"), nullptr);
}

// The warnings' tally: keys no lookup found, each once, in the order of
// their first lines, the empty key never among them.
TEST_F(AttachmentIndexKeys, KeysNotFoundComeOnceInTheOrderOfTheirLines) {
  HouseAttachmentIndex index;
  std::string text = "\n";  // the empty key, from a line that leaves it
  for (int i = 0; i < 9; ++i) text += "F" + std::to_string(i) + " 砖 " + std::to_string(i) + "\nF0 木 9\n";
  load(index, text);
  EXPECT_EQ(index.keyCount(), 10u);
  for (const char* key : {"F1", "F4", "F5"}) ASSERT_NE(index.find(key), nullptr);
  EXPECT_EQ(index.find("F0")->floors, 0);  // its first line, not the later ones
  const KeyTally tally = index.keysNotFound();
  EXPECT_EQ(tally.count, 5);  // F2, F3, F6, F7, F8
  EXPECT_EQ(tally.keys, (std::vector<std::string>{"F2", "F3", "F6", "F7", "F8"}));
  EXPECT_FALSE(tally.moreKeys);
  index.find("F3");
  load(index, text);  // a new load forgets what was found
  EXPECT_EQ(index.keysNotFound().count, 9);
  EXPECT_TRUE(index.keysNotFound().moreKeys);
}

// Values are kept packed, each text as long as it is: texts of every length
// up to their field's width and past it, next to each other and at the end
// of the file, come back as the block would take them from the line.
TEST_F(AttachmentIndexKeys, ValuesComeBackWholeAtEveryLength) {
  ParcelAttachmentIndex index;
  std::string text;
  std::vector<ParcelFields> lines;
  for (int i = 0; i < 100; ++i) {
    const std::string line = "P" + std::to_string(i) + " " + std::string(1 + i, 'a') + " x " +
                             std::string(1 + i % 25, 'b') + " x " + std::string(1 + (i * 7) % 20, 'c') + " " +
                             std::to_string(i) + ".5 -" + std::to_string(i) + " x 1 x";
    text += line + "\n";
    ParcelFields f;
    f.scan(line);
    lines.push_back(f);
  }
  load(index, text);
  for (int i = 0; i < 100; ++i) {
    const ParcelValues* v = index.find("P" + std::to_string(i));
    ASSERT_NE(v, nullptr) << i;
    std::vector<uint8_t> got(228, 0xEE), expected(228, 0xEE);
    v->applyTo(got.data());
    ParcelValues(lines[static_cast<size_t>(i)]).applyTo(expected.data());
    ASSERT_EQ(got, expected) << i;
  }
}

// A key met again a few lines later, at any distance, its first line
// winning, among entries of many sizes; short lines keep the fields the
// line before left. Each key finds what a scan from the top finds.
TEST_F(AttachmentIndexKeys, RepeatedKeysAtEveryDistanceKeepTheirFirstLine) {
  std::mt19937 random(15);
  std::string text;
  std::map<std::string, std::vector<uint8_t>> firstBlocks;
  std::vector<std::string> order;
  ParcelFields carried;
  for (int i = 0; i < 5000; ++i) {
    const int distance = static_cast<int>(random() % 10);
    const int keyNumber = i - distance < 0 ? i : (i - distance) / 2;
    std::string line = "P" + std::to_string(keyNumber);
    if (random() % 7 != 0) {
      line += " " + std::string(1 + random() % 90, 'a') + " x " + std::string(1 + random() % 25, 'b') + " x " +
              std::string(1 + random() % 20, 'c') + " " + std::to_string(i) + ".25 7 x 1 x";
    }
    text += line + "\n";
    carried.scan(line);
    const std::string key(carried.key());
    if (firstBlocks.count(key) != 0) continue;
    std::vector<uint8_t> block(228, 0xEE);
    ParcelValues(carried).applyTo(block.data());
    firstBlocks[key] = block;
    order.push_back(key);
  }
  ParcelAttachmentIndex index;
  load(index, text);
  EXPECT_EQ(index.keyCount(), firstBlocks.size());
  const KeyTally tally = index.keysNotFound();
  EXPECT_EQ(tally.count, static_cast<int>(order.size()));
  ASSERT_FALSE(tally.keys.empty());
  EXPECT_EQ(tally.keys.front(), order.front());
  for (const auto& [key, expected] : firstBlocks) {
    const ParcelValues* v = index.find(key);
    ASSERT_NE(v, nullptr) << key;
    std::vector<uint8_t> got(228, 0xEE);
    v->applyTo(got.data());
    ASSERT_EQ(got, expected) << key;
  }
}

}  // namespace
}  // namespace dz::attributes
