#include "standin/point_in_polygon.h"

#include <gtest/gtest.h>

namespace dz {
namespace {

int locate(std::initializer_list<double> ring, double x, double y) {
  const double pt[2] = {x, y};
  return locatePointInRing(ring.begin(), static_cast<int>(ring.size() / 2), pt);
}

TEST(PointInPolygon, SquareInsideBoundaryOutside) {
  const auto square = {0.0, 0.0, 10.0, 0.0, 10.0, 10.0, 0.0, 10.0, 0.0, 0.0};  // closed ring
  EXPECT_EQ(locate(square, 5, 5), 2);
  EXPECT_EQ(locate(square, 0, 5), 1);
  EXPECT_EQ(locate(square, 10, 10), 1);
  EXPECT_EQ(locate(square, 5, 0), 1);
  EXPECT_EQ(locate(square, 11, 5), 0);
  EXPECT_EQ(locate(square, -1, 0), 0);  // on the line of an edge, outside it
}

TEST(PointInPolygon, OpenRingClosesItself) {
  EXPECT_EQ(locate({0, 0, 10, 0, 0, 10}, 2, 2), 2);
  EXPECT_EQ(locate({0, 0, 10, 0, 0, 10}, 5, 5), 1);  // on the edge from the second vertex to the third
  EXPECT_EQ(locate({0, 0, 10, 0, 0, 10}, 0, 5), 1);  // on the closing edge, from the last vertex to the first
}

TEST(PointInPolygon, ConcaveRingAndVertexOnTheRay) {
  // A U shape: the notch is outside.
  const auto u = {0.0, 0.0, 9.0, 0.0, 9.0, 9.0, 6.0, 9.0, 6.0, 3.0, 3.0, 3.0, 3.0, 9.0, 0.0, 9.0};
  EXPECT_EQ(locate(u, 4.5, 6), 0);
  EXPECT_EQ(locate(u, 1, 6), 2);
  EXPECT_EQ(locate(u, 1, 3), 2);  // the ray passes through the vertices at y = 3
  EXPECT_EQ(locate(u, 4.5, 3), 1);
}

TEST(PointInPolygon, SelfTouchingRing) {
  // Two squares touching at (5, 5), drawn as one ring.
  const auto bow = {0.0, 0.0, 5.0, 0.0, 5.0, 5.0, 10.0, 5.0, 10.0, 10.0, 5.0, 10.0, 5.0, 5.0, 0.0, 5.0};
  EXPECT_EQ(locate(bow, 2, 2), 2);
  EXPECT_EQ(locate(bow, 7, 7), 2);
  EXPECT_EQ(locate(bow, 7, 2), 0);
  EXPECT_EQ(locate(bow, 5, 5), 1);
}

TEST(PointInPolygon, DegenerateInput) {
  EXPECT_EQ(locate({}, 0, 0), 0);
  EXPECT_EQ(locate({1, 1}, 1, 1), 1);
  EXPECT_EQ(locate({1, 1}, 2, 2), 0);
}

}  // namespace
}  // namespace dz
