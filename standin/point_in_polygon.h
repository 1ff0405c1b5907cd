#pragma once

namespace dz {

// Where `point` lies against the ring of `count` vertices (x, y pairs; the
// ring closes itself whether or not its last vertex repeats the first):
// 2 strictly inside, 1 on the boundary, 0 outside. Inside follows the
// even-odd rule, so a self-touching ring splits cleanly at its touching point.
int locatePointInRing(const double* pairs, int count, const double* point);

}  // namespace dz
