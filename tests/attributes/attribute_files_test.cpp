// The attribute-file index on its own: what a key finds, at every size.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dz::attributes
