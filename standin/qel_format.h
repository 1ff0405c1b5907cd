// The .qel feature file on disk (docs/qel-format.md): a feature store
// encoded as a stream of bytes with a running checksum, and read back from
// its bytes record by record, whole or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// Walks a feature file in its bytes without copying a record: the points as
// one table, then each feature and each text object in order. A reader that
// reaches the end without a failure has checked every rule of the format
// but one: two points of one name (decodeQel and checkQel find those).
class QelReader {
 public:
  // Checks the signature, the version, the checksum and the point table.
  bool open(std::string_view bytes, std::string& reason);

  uint32_t pointCount() const { return pointCount_; }
  uint32_t featureCount() const { return featureCount_; }
  uint32_t textCount() const { return textCount_; }
  // pointCount() records, packed, in the file's bytes.
  const PointRecord* points() const { return points_; }

  // The next feature (after the points), then the next text object; false
  // with a reason when the record runs past the end or its counts are wrong.
  bool nextFeature(QelFeatureView& f, std::string& reason);
  bool nextText(QelTextView& t, std::string& reason);
  // Splits the next field off `fields` (QelTextView::fields); false when damaged.
  static bool nextField(std::string_view& fields, std::string_view& name, std::string_view& value);
  // After the last text object: false when bytes follow it.
  bool finish(std::string& reason) const;

 private:
  bool take(size_t n, const char*& at);
  bool u32(uint32_t& v);
  size_t remaining() const { return body_.size() - pos_; }

  std::string_view body_;  // the bytes before the checksum
  size_t pos_ = 0;
  uint32_t pointCount_ = 0, featureCount_ = 0, textCount_ = 0;
  uint32_t featuresRead_ = 0, textsRead_ = 0;
  const PointRecord* points_ = nullptr;
};

// Reads the whole file as decodeQel does, without keeping it: true when
// decodeQel would load it.
bool checkQel(std::string_view bytes, std::string& reason);

}  // namespace dz
