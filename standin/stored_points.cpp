#include "standin/stored_points.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <utility>

#include "base/fixed_field.h"

namespace dz {

bool StoredPoints::fitsCompact(const PointRecord& point) {
  // Bytes 12-23 (the three small integers, two reserved bytes and the
  // code), 40-47 (the height) and 49-52 (reserved), a few words at once.
  static_assert(offsetof(PointRecord, w12) == 12 && offsetof(PointRecord, north) == 24 &&
                    offsetof(PointRecord, elev) == 40 && offsetof(PointRecord, flag) == 48 && sizeof(PointRecord) == 53,
                "the record as the file holds it");
  const auto* bytes = reinterpret_cast<const uint8_t*>(&point);
  const uint64_t rest =
      getLE<uint64_t>(bytes, 12) | getLE<uint32_t>(bytes, 20) | getLE<uint64_t>(bytes, 40) | getLE<uint32_t>(bytes, 49);
  return rest == 0;
}

StoredPoints::Compact StoredPoints::compactOf(const PointRecord& point) {
  Compact c;
  std::memcpy(c.name, point.name, sizeof c.name);
  c.flag = point.flag;
  std::memset(c.unused, 0, sizeof c.unused);
  // Copied as bytes: a load into a floating-point register could change a NaN.
  std::memcpy(&c.north, &point.north, sizeof c.north);
  std::memcpy(&c.east, &point.east, sizeof c.east);
  return c;
}

void StoredPoints::expand(const Compact& c, PointRecord& out) {
  std::memset(&out, 0, sizeof out);
  std::memcpy(out.name, c.name, sizeof c.name);
  out.flag = c.flag;
  std::memcpy(&out.north, &c.north, sizeof c.north);
  std::memcpy(&out.east, &c.east, sizeof c.east);
}

PointRecord StoredPoints::operator[](size_t i) const {
  if (whole_) return records_[i];
  PointRecord r;
  expand(compact_[i], r);
  return r;
}

void StoredPoints::coordinates(size_t i, double& north, double& east) const {
  if (whole_) {
    std::memcpy(&north, &records_[i].north, sizeof north);
    std::memcpy(&east, &records_[i].east, sizeof east);
  } else {
    std::memcpy(&north, &compact_[i].north, sizeof north);
    std::memcpy(&east, &compact_[i].east, sizeof east);
  }
}

void StoredPoints::copyRecords(size_t first, size_t n, PointRecord* out) const {
  if (whole_) {
    std::memcpy(out, records_.data() + first, n * sizeof(PointRecord));
    return;
  }
  for (size_t i = 0; i < n; ++i) expand(compact_[first + i], out[i]);
}

void StoredPoints::push_back(const PointRecord& point) {
  if (whole_) {
    // An empty table takes the short form when its first point fits it.
    if (!records_.empty() || !fitsCompact(point)) {
      records_.push_back(point);
      return;
    }
    makeShort();
  } else if (!fitsCompact(point)) {
    makeWhole();
    records_.push_back(point);
    return;
  }
  compact_.push_back(compactOf(point));
}

void StoredPoints::replace(size_t i, const PointRecord& point) {
  if (!whole_ && !fitsCompact(point)) makeWhole();
  if (whole_)
    records_[i] = point;
  else
    compact_[i] = compactOf(point);
}

void StoredPoints::reserve(size_t n) {
  if (whole_)
    records_.reserve(n);
  else
    compact_.reserve(n);
}

void StoredPoints::assign(const PointRecord* points, size_t n) {
  compact_ = {};
  whole_ = true;
  records_.assign(points, points + n);
}

void StoredPoints::take(PointTable&& records) {
  compact_ = {};
  whole_ = true;
  records_ = std::move(records);
}

void StoredPoints::makeShort() {
  // The room asked for, in the short form: the records' room was only reserved, never touched.
  const size_t room = records_.capacity();
  records_ = PointTable();
  whole_ = false;
  try {
    compact_.reserve(room);
  } catch (const std::exception&) {
    // Only a hint: the table grows by steps instead.
  }
}

void StoredPoints::makeWhole() {
  // As much room as the short table had: a reserve made for the work ahead
  // still holds.
  PointTable records;
  const size_t needed = compact_.size() + 1;
  try {
    records.reserve(std::max(compact_.capacity(), needed));
  } catch (const std::exception&) {
    records.reserve(needed);  // the room asked for was a hint
  }
  records.resize(compact_.size());
  copyRecords(0, compact_.size(), records.data());
  compact_ = {};
  records_ = std::move(records);
  whole_ = true;
}

}  // namespace dz
