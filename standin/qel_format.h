// The .qel feature file on disk (docs/qel-format.md): a feature store
// encoded as a stream of bytes with a running checksum, and read back from
// its bytes record by record, whole or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/records.h"
#include "standin/feature_store.h"

namespace dz {

// Takes the next bytes of an encoded file; false stops the encoding.
using QelSink = std::function<bool(const void* data, size_t size)>;

// Hands the file to `sink` in pieces of about 64 KiB (the point table in
// one piece, straight from the store), the checksum last. False when the
// sink refused a piece.
bool encodeQel(const FeatureStore& store, const QelSink& sink);
// The whole file in one string: for the tests and the fuzz targets.
std::string encodeQel(const FeatureStore& store);

// False with a reason when the bytes are not a whole, undamaged feature file;
// `store` is then left empty.
bool decodeQel(std::string_view bytes, FeatureStore& store, std::string& reason);

// Hands a reader the next bytes of a file: up to `size` bytes into `data`;
// the count read (0 only at the end of the file), or -1 when the file could
// not be read.
using QelSource = std::function<int64_t(void* data, size_t size)>;

// decodeQel for a file of `size` bytes read in pieces through `source`: the
// file is never held whole, and its point table is read straight into the
// store. Damaged files are refused with the reasons decodeQel gives. When
// the source failed (or ended early), `readFailed` is set and the reason is
// the source's to tell.
bool decodeQel(uint64_t size, const QelSource& source, FeatureStore& store, std::string& reason, bool& readFailed);
// The feature file at `path` read in pieces into `store`. When it cannot be
// read, `unreadable` is set and `reason` is the system's; else the reason
// is decodeQel's.
bool readQelFile(const std::string& path, FeatureStore& store, std::string& reason, bool& unreadable);

// A feature and a text object as they lie in the file's bytes.
struct QelFeatureView {
  const FeatureHeader* header = nullptr;
  const PointRef* refs = nullptr;
  uint32_t refCount = 0;
  const uint8_t* attributes = nullptr;
  uint32_t length = 0;
};
struct QelTextView {
  double anchor[2] = {0, 0};
  std::string_view text;
  const TextStyle* style = nullptr;
  int32_t mode = 0;
  uint32_t fieldCount = 0;
  std::string_view fields;  // fieldCount pairs of length-prefixed name and value
};

// Walks a feature file record by record: the points as one table, then
// each feature and each text object in order, each record handed out as a
// view of its bytes that holds until the next call. A reader that reaches
// the end without a failure has checked every rule of the format but one:
// two points of one name (decodeQel and checkQel find those).
//
// Over bytes in memory nothing is copied. Over a source, the bytes pass
// through a window that holds the record being read (and grows for a
// larger one), the point table is read into a table of its own, and the
// checksum is checked last.
class QelReader {
 public:
  QelReader();
  ~QelReader();
  QelReader(QelReader&&) noexcept;
  QelReader& operator=(QelReader&&) noexcept;

  // Checks the signature, the version, the checksum and the point table.
  bool open(std::string_view bytes, std::string& reason);
  // The same over a file of `size` bytes read through `source`, which must
  // outlive the reader; the checksum is checked by finish().
  bool open(uint64_t size, const QelSource& source, std::string& reason);

  uint32_t pointCount() const { return pointCount_; }
  uint32_t featureCount() const { return featureCount_; }
  uint32_t textCount() const { return textCount_; }
  // pointCount() records, packed.
  const PointRecord* points() const { return points_; }
  // Over a source: the point table, handed over (the reader keeps none).
  PointTable takePointTable();
  // The bytes of the records not yet read, after the points.
  uint64_t recordBytesLeft() const { return remaining(); }

  // The next feature (after the points), then the next text object; false
  // with a reason when the record runs past the end or its counts are wrong.
  bool nextFeature(QelFeatureView& f, std::string& reason);
  bool nextText(QelTextView& t, std::string& reason);
  // Splits the next field off `fields` (QelTextView::fields); false when damaged.
  static bool nextField(std::string_view& fields, std::string_view& name, std::string_view& value);
  // After the last text object: false when bytes follow it, or, over a
  // source, when the checksum does not match.
  bool finish(std::string& reason);

  // Over a source, after a failure of the file's rules: reads the rest of
  // the file, and a checksum that does not match becomes the reason, as
  // open() over bytes finds it first.
  void settle(std::string& reason);
  // Over a source: a read failed or the file ended before its size.
  bool readFailed() const { return readFailed_; }

 private:
  bool take(size_t n, size_t& at);
  bool u32(uint32_t& v);
  const char* record(size_t at) const { return window_ + recordStart_ + at; }
  uint64_t remaining() const { return bodySize_ - (windowStart_ + pos_); }
  bool fill(size_t n);
  bool pull(char* data, size_t n, bool checksummed);
  bool readPointTable(std::string& reason);

  const char* window_ = nullptr;  // bytes of the body from windowStart_ on
  size_t windowSize_ = 0;
  uint64_t windowStart_ = 0;
  size_t pos_ = 0;          // the next byte, in the window
  size_t recordStart_ = 0;  // where the record being read starts, in the window
  uint64_t bodySize_ = 0;   // the bytes before the checksum
  uint32_t pointCount_ = 0, featureCount_ = 0, textCount_ = 0;
  uint32_t featuresRead_ = 0, textsRead_ = 0;
  const PointRecord* points_ = nullptr;

  // Over a source.
  const QelSource* source_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  uint32_t crc_ = 0;  // of the body bytes read so far
  bool signatureSeen_ = false;
  bool checksumRead_ = false;
  bool readFailed_ = false;
  PointTable table_;
};

// Reads the whole file as decodeQel does, without keeping it: true when
// decodeQel would load it.
bool checkQel(std::string_view bytes, std::string& reason);

}  // namespace dz
