// The points of a feature file in memory, in the order they were added.
//
// The points a conversion adds have a name and two coordinates (and a
// parcel's boundary points their flag), and the rest of their 53 bytes is
// zero: such points are kept in 32 bytes each, and a million of them take
// 32 MB where their records would take 53 MB. An empty table holds whole
// records (and the room reserved for them) until its first point shows it
// needs no more; the first point with more (a code, a height, any other
// byte) turns the table back into whole records. A table read from a file
// is taken over as it was read. Either way a point reads back as the record
// it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/records.h"
#include "standin/point_index.h"
#include "standin/point_table.h"

namespace dz {

class StoredPoints {
 public:
  size_t size() const { return whole_ ? records_.size() : compact_.size(); }
  bool empty() const { return size() == 0; }
  // Points the table holds before it grows.
  size_t capacity() const { return whole_ ? records_.capacity() : compact_.capacity(); }

  // Point `i` as its record.
  PointRecord operator[](size_t i) const;
  PointRecord front() const { return (*this)[0]; }
  PointRecord back() const { return (*this)[size() - 1]; }
  // Point `i`'s 12 name bytes.
  const char* name(size_t i) const { return whole_ ? records_[i].name : compact_[i].name; }
  // Point `i`'s coordinates, bit for bit.
  void coordinates(size_t i, double& north, double& east) const;
  // Where an index over these points finds their names; good until the next change.
  NameTable names() const {
    return whole_ ? NameTable(records_.data()) : NameTable(reinterpret_cast<const char*>(compact_.data()), sizeof(Compact));
  }

  // The records of points [first, first + n), as a file holds them, into `out`.
  void copyRecords(size_t first, size_t n, PointRecord* out) const;
  // The records themselves when the table holds whole records; else null.
  const PointRecord* records() const { return whole_ ? records_.data() : nullptr; }

  class Iterator {
   public:
    Iterator(const StoredPoints* points, size_t i) : points_(points), i_(i) {}
    PointRecord operator*() const { return (*points_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return i_ != o.i_; }

   private:
    const StoredPoints* points_;
    size_t i_;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, size()); }

  void push_back(const PointRecord& point);
  // Point `i` becomes `point`, every byte of it.
  void replace(size_t i, const PointRecord& point);
  // Room for `n` points in all, in the form the table has: whole records
  // while it is empty, and the short form from a first point that fits it.
  void reserve(size_t n);
  // The table becomes these records, or the records read for it (taken over
  // without a copy).
  void assign(const PointRecord* points, size_t n);
  void take(PointTable&& records);

 private:
  struct Compact {
    char name[12];
    uint8_t flag;
    uint8_t unused[3];
    double north;
    double east;
  };
  static_assert(sizeof(Compact) == 32 && offsetof(Compact, name) == 0, "a point in 32 bytes, its name first");

  // Whether a point is a name, two coordinates and a flag alone.
  static bool fitsCompact(const PointRecord& point);
  static Compact compactOf(const PointRecord& point);
  static void expand(const Compact& c, PointRecord& out);
  // Every point in the short form, from an empty table on.
  void makeShort();
  // Every point as its whole record from now on.
  void makeWhole();

  bool whole_ = true;
  std::vector<Compact, DefaultInitAllocator<Compact>> compact_;
  PointTable records_;
};

}  // namespace dz
