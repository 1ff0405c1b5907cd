#include "standin/point_in_polygon.h"

#include <algorithm>

namespace dz {

int locatePointInRing(const double* pairs, int count, const double* point) {
  if (!pairs || !point || count < 1) return 0;
  const double px = point[0], py = point[1];
  bool inside = false;
  for (int i = 0, j = count - 1; i < count; j = i++) {
    const double xi = pairs[2 * i], yi = pairs[2 * i + 1];
    const double xj = pairs[2 * j], yj = pairs[2 * j + 1];
    // On the edge (j, i)? Exact orientation test, then the bounding box.
    const double cross = (xj - xi) * (py - yi) - (yj - yi) * (px - xi);
    if (cross == 0 && px >= std::min(xi, xj) && px <= std::max(xi, xj) && py >= std::min(yi, yj) &&
        py <= std::max(yi, yj))
      return 1;
    // Crossing test: the edge straddles the horizontal line through the
    // point (half-open in y, so a vertex on the line counts once).
    if ((yi > py) != (yj > py)) {
      // x of the edge at py, compared without division.
      const double lhs = (px - xi) * (yj - yi);
      const double rhs = (xj - xi) * (py - yi);
      if (yj > yi ? lhs < rhs : lhs > rhs) inside = !inside;
    }
  }
  return inside ? 2 : 0;
}

}  // namespace dz
