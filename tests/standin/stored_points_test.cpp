#include "standin/stored_points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "standin/feature_store.h"
#include "standin/qel_format.h"

namespace dz {
namespace {

PointRecord plain(int i) {
  PointRecord p{};
  copyName(p.name, "X" + std::to_string(i));
  p.north = i * 0.5;
  p.east = -i * 0.25;
  p.flag = static_cast<uint8_t>(i % 3);
  return p;
}

bool sameBytes(const PointRecord& a, const PointRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Whatever form the table keeps, each point reads back as the record given,
// byte for byte: coordinates with any bits (a NaN with a payload), names
// with bytes after their end, and a table that turns whole half-way.
TEST(StoredPoints, EveryPointReadsBackAsTheRecordGiven) {
  std::vector<PointRecord> given;
  for (int i = 0; i < 300; ++i) given.push_back(plain(i));
  const uint64_t payloadNan = 0x7FF4000000000123ull;
  std::memcpy(&given[7].north, &payloadNan, sizeof payloadNan);
  const char tail[12] = {'T', 0, 'x', 'y'};
  std::memcpy(given[8].name, tail, sizeof tail);
  // Each byte outside the name, flag and coordinates on its own: each makes
  // a record that the short form cannot hold.
  std::vector<PointRecord> more;
  for (size_t at : {12, 14, 16, 18, 19, 20, 23, 40, 47, 49, 52}) {
    PointRecord p = plain(1000 + static_cast<int>(at));
    reinterpret_cast<unsigned char*>(&p)[at] = 0x80;
    more.push_back(p);
  }
  PointRecord negativeZero = plain(2000);
  negativeZero.elev = -0.0;
  more.push_back(negativeZero);

  for (const PointRecord& odd : more) {
    StoredPoints points;
    for (const PointRecord& p : given) points.push_back(p);
    ASSERT_EQ(points.records(), nullptr);  // short form so far
    points.push_back(odd);
    ASSERT_NE(points.records(), nullptr);  // whole from the first point that needs it
    std::vector<PointRecord> all = given;
    all.push_back(odd);
    ASSERT_EQ(points.size(), all.size());
    std::vector<PointRecord> copied(all.size());
    points.copyRecords(0, all.size(), copied.data());
    for (size_t i = 0; i < all.size(); ++i) {
      ASSERT_TRUE(sameBytes(points[i], all[i])) << i;
      ASSERT_TRUE(sameBytes(copied[i], all[i])) << i;
      ASSERT_EQ(std::memcmp(points.name(i), all[i].name, 12), 0) << i;
    }
  }
  StoredPoints shortForm;
  for (const PointRecord& p : given) shortForm.push_back(p);
  size_t i = 0;
  for (const PointRecord& p : shortForm) ASSERT_TRUE(sameBytes(p, given[i++]));
  EXPECT_EQ(i, given.size());
  double north = 0, east = 0;
  shortForm.coordinates(7, north, east);
  EXPECT_EQ(std::memcmp(&north, &payloadNan, sizeof north), 0);
  EXPECT_EQ(east, double{given[7].east});
  std::vector<PointRecord> some(5);
  shortForm.copyRecords(295, 5, some.data());
  for (size_t k = 0; k < 5; ++k) EXPECT_TRUE(sameBytes(some[k], given[295 + k]));
}

// A point replaced keeps its place; one the short form cannot hold turns the
// table whole, and the others stay as they were.
TEST(StoredPoints, AReplacedPointTakesEveryByteGiven) {
  StoredPoints points;
  for (int i = 0; i < 10; ++i) points.push_back(plain(i));
  points.replace(3, plain(33));
  EXPECT_EQ(points.records(), nullptr);
  EXPECT_TRUE(sameBytes(points[3], plain(33)));
  PointRecord coded = plain(44);
  coded.code = 7;
  points.replace(4, coded);
  ASSERT_NE(points.records(), nullptr);
  EXPECT_TRUE(sameBytes(points[4], coded));
  EXPECT_TRUE(sameBytes(points[3], plain(33)));
  EXPECT_TRUE(sameBytes(points[9], plain(9)));
}

// Room asked for before the first point is made in the form the points take,
// and kept when the table turns whole.
TEST(StoredPoints, RoomAskedForAheadIsThereInEitherForm) {
  StoredPoints shortForm;
  shortForm.reserve(5000);
  EXPECT_GE(shortForm.capacity(), 5000u);
  shortForm.push_back(plain(1));
  EXPECT_EQ(shortForm.records(), nullptr);
  EXPECT_GE(shortForm.capacity(), 5000u);
  PointRecord coded = plain(2);
  coded.code = 1;
  shortForm.push_back(coded);
  EXPECT_GE(shortForm.capacity(), 5000u);

  StoredPoints whole;
  whole.reserve(5000);
  whole.push_back(coded);
  ASSERT_NE(whole.records(), nullptr);
  EXPECT_GE(whole.capacity(), 5000u);
  EXPECT_TRUE(sameBytes(whole[0], coded));
}

// The store finds its points by name in either form and across the change
// from one to the other, and a file of short points is written as the same
// file read back (whose points are whole records).
TEST(StoredPoints, TheStoreFindsAndWritesPointsInEitherForm) {
  FeatureStore store;
  for (int i = 0; i < 3000; ++i) ASSERT_TRUE(store.addPoint(plain(i)));
  ASSERT_EQ(store.points().records(), nullptr);
  const std::string shortBytes = encodeQel(store);
  FeatureStore read;
  std::string reason;
  ASSERT_TRUE(decodeQel(shortBytes, read, reason)) << reason;
  ASSERT_NE(read.points().records(), nullptr);
  EXPECT_EQ(encodeQel(read), shortBytes);

  PointRecord coded = plain(5000);
  coded.code = 9;
  ASSERT_TRUE(store.addPoint(coded));
  ASSERT_NE(store.points().records(), nullptr);
  EXPECT_FALSE(store.addPoint(plain(17)));
  for (int i = 0; i < 3000; i += 7) ASSERT_EQ(store.pointNumber(NameKey::of("X" + std::to_string(i))), size_t(i));
  EXPECT_EQ(store.pointNumber(NameKey::of("X5000")), 3000u);
  EXPECT_EQ(store.pointNumber(NameKey::of("X3000")), FeatureStore::kNoPoint);
}

}  // namespace
}  // namespace dz
