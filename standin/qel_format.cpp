#include "standin/qel_format.h"

#include <cstring>
#include <memory>

#include "base/crc32.h"
#include "base/fixed_field.h"

namespace dz {
namespace {

// "DBZQEL", Ctrl-Z, LF: a text-mode copy of the file stops early or changes
// the line end, and the signature no longer matches.
constexpr char kMagic[8] = {'D', 'B', 'Z', 'Q', 'E', 'L', 0x1A, '\n'};
constexpr uint32_t kVersion = 1;

// The signature, then the version and the counts of points, features and texts.
constexpr size_t kHeaderSize = sizeof kMagic + 4 * sizeof(uint32_t);
constexpr size_t kChecksumSize = sizeof(uint32_t);

// The smallest feature (no vertex, no attribute block), text object (empty
// text, no field) and field (empty name and value): a count larger than the
// rest of the file allows is refused before anything is reserved for it.
constexpr size_t kMinFeatureSize = sizeof(FeatureHeader) + sizeof(uint32_t) + sizeof(uint32_t);
constexpr size_t kMinTextSize =
    2 * sizeof(double) + sizeof(uint32_t) + sizeof(TextStyle) + sizeof(int32_t) + sizeof(uint32_t);
constexpr size_t kMinFieldSize = 2 * sizeof(uint32_t);

static_assert(kHeaderSize == 24 && kMinFeatureSize == 26 && kMinTextSize == 122,
              "the layout docs/qel-format.md describes");

// The host reports a feature's vertex count as a 16-bit value.
constexpr uint32_t kMaxVertices = INT16_MAX;

// Bytes on their way to the sink: small pieces gather in a buffer, large
// spans (the point table) go straight through; the checksum runs over
// everything handed on.
class StreamWriter {
 public:
  explicit StreamWriter(const QelSink& sink) : sink_(sink) {}

  void bytes(const void* p, size_t n) {
    if (n >= kBuffer / 2) {
      flush();
      pass(p, n);
      return;
    }
    if (used_ + n > kBuffer) flush();
    if (n > 0) std::memcpy(buffer_ + used_, p, n);
    used_ += n;
  }
  void u32(uint32_t v) {
    uint8_t b[sizeof v];
    putLE(b, 0, v);
    bytes(b, sizeof b);
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f64(double v) {
    uint8_t b[sizeof v];
    putLE(b, 0, v);
    bytes(b, sizeof b);
  }
  void text(std::string_view s) {
    u32(static_cast<uint32_t>(s.size()));
    bytes(s.data(), s.size());
  }
  // The checksum of everything before it, then the last piece.
  bool finish() {
    flush();
    uint8_t b[sizeof(uint32_t)];
    putLE(b, 0, crc_);
    pass(b, sizeof b);
    return ok_;
  }

 private:
  static constexpr size_t kBuffer = 64 * 1024;
  void flush() {
    pass(buffer_, used_);
    used_ = 0;
  }
  void pass(const void* p, size_t n) {
    if (n == 0 || !ok_) return;
    crc_ = crc32Update(crc_, p, n);
    ok_ = sink_(p, n);
  }

  const QelSink& sink_;
  char buffer_[kBuffer];
  size_t used_ = 0;
  uint32_t crc_ = 0;
  bool ok_ = true;
};

}  // namespace

bool encodeQel(const FeatureStore& store, const QelSink& sink) {
  auto w = std::make_unique<StreamWriter>(sink);  // its buffer is too large for a thread's stack
  w->bytes(kMagic, sizeof kMagic);
  w->u32(kVersion);
  w->u32(static_cast<uint32_t>(store.points().size()));
  w->u32(static_cast<uint32_t>(store.features().size()));
  w->u32(static_cast<uint32_t>(store.texts().size()));
  w->bytes(store.points().data(), store.points().size() * sizeof(PointRecord));
  for (const StoredFeature& f : store.features()) {
    w->bytes(&f.header, sizeof f.header);
    w->u32(static_cast<uint32_t>(f.refs.size()));
    w->bytes(f.refs.data(), f.refs.size() * sizeof(PointRef));
    w->u32(static_cast<uint32_t>(f.attributes.size()));
    w->bytes(f.attributes.data(), f.attributes.size());
  }
  for (const StoredText& t : store.texts()) {
    w->f64(t.anchor[0]);
    w->f64(t.anchor[1]);
    w->text(t.text);
    w->bytes(&t.style, sizeof t.style);
    w->i32(t.mode);
    w->u32(static_cast<uint32_t>(t.fields.size()));
    for (const auto& field : t.fields) {
      w->text(field.first);
      w->text(field.second);
    }
  }
  return w->finish();
}

std::string encodeQel(const FeatureStore& store) {
  // Sized once: a file of hundreds of megabytes is not copied as it grows.
  size_t size = kHeaderSize + store.points().size() * sizeof(PointRecord) + kChecksumSize;
  for (const StoredFeature& f : store.features())
    size += kMinFeatureSize + f.refs.size() * sizeof(PointRef) + f.attributes.size();
  for (const StoredText& t : store.texts()) {
    size += kMinTextSize + t.text.size();
    for (const auto& field : t.fields) size += kMinFieldSize + field.first.size() + field.second.size();
  }
  std::string out;
  out.reserve(size);
  encodeQel(store, [&out](const void* p, size_t n) {
    out.append(static_cast<const char*>(p), n);
    return true;
  });
  return out;
}

// --- reading ----------------------------------------------------------------

bool QelReader::take(size_t n, const char*& at) {
  if (n > remaining()) return false;
  at = body_.data() + pos_;
  pos_ += n;
  return true;
}

bool QelReader::u32(uint32_t& v) {
  const char* at;
  if (!take(sizeof v, at)) return false;
  v = getLE<uint32_t>(reinterpret_cast<const uint8_t*>(at), 0);
  return true;
}

bool QelReader::open(std::string_view bytes, std::string& reason) {
  *this = QelReader();
  if (bytes.size() < kHeaderSize + kChecksumSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    reason = "not a feature file (no feature-file signature)";
    return false;
  }
  body_ = bytes.substr(0, bytes.size() - kChecksumSize);
  if (crc32(body_) != getLE<uint32_t>(reinterpret_cast<const uint8_t*>(bytes.data()), body_.size())) {
    reason = "damaged feature file (checksum mismatch)";
    return false;
  }
  // The header is there: the length was checked above.
  uint32_t version = 0;
  pos_ = sizeof kMagic;
  u32(version);
  if (version != kVersion) {
    reason = "feature file of an unsupported version";
    return false;
  }
  u32(pointCount_);
  u32(featureCount_);
  u32(textCount_);
  const char* table;
  if (pointCount_ > remaining() / sizeof(PointRecord) || !take(pointCount_ * sizeof(PointRecord), table)) {
    reason = "damaged feature file (point table)";
    return false;
  }
  points_ = reinterpret_cast<const PointRecord*>(table);
  return true;
}

bool QelReader::nextFeature(QelFeatureView& f, std::string& reason) {
  if (featuresRead_ == 0 && featureCount_ > remaining() / kMinFeatureSize) {
    reason = "damaged feature file (feature table)";
    return false;
  }
  ++featuresRead_;
  const char *header, *refs, *attributes;
  if (!take(sizeof(FeatureHeader), header) || !u32(f.refCount) || f.refCount > kMaxVertices ||
      !take(f.refCount * sizeof(PointRef), refs)) {
    reason = "damaged feature file (feature)";
    return false;
  }
  if (!u32(f.length) || !take(f.length, attributes)) {
    reason = "damaged feature file (attribute block)";
    return false;
  }
  f.header = reinterpret_cast<const FeatureHeader*>(header);
  f.refs = reinterpret_cast<const PointRef*>(refs);
  f.attributes = reinterpret_cast<const uint8_t*>(attributes);
  return true;
}

bool QelReader::nextText(QelTextView& t, std::string& reason) {
  if (textsRead_ == 0 && textCount_ > remaining() / kMinTextSize) {
    reason = "damaged feature file (text table)";
    return false;
  }
  ++textsRead_;
  const char *anchor, *text, *style;
  uint32_t length, mode;
  if (!take(sizeof t.anchor, anchor) || !u32(length) || !take(length, text) || !take(sizeof(TextStyle), style) ||
      !u32(mode) || !u32(t.fieldCount) || t.fieldCount > remaining() / kMinFieldSize) {
    reason = "damaged feature file (text object)";
    return false;
  }
  t.anchor[0] = getLE<double>(reinterpret_cast<const uint8_t*>(anchor), 0);
  t.anchor[1] = getLE<double>(reinterpret_cast<const uint8_t*>(anchor), sizeof(double));
  t.text = std::string_view(text, length);
  t.style = reinterpret_cast<const TextStyle*>(style);
  t.mode = static_cast<int32_t>(mode);
  const size_t fieldsStart = pos_;
  std::string_view name, value;
  for (uint32_t k = 0; k < t.fieldCount; ++k) {
    std::string_view rest = body_.substr(pos_);
    if (!nextField(rest, name, value)) {
      reason = "damaged feature file (text field)";
      return false;
    }
    pos_ = body_.size() - rest.size();
  }
  t.fields = body_.substr(fieldsStart, pos_ - fieldsStart);
  return true;
}

bool QelReader::nextField(std::string_view& fields, std::string_view& name, std::string_view& value) {
  for (std::string_view* part : {&name, &value}) {
    if (fields.size() < sizeof(uint32_t)) return false;
    const uint32_t n = getLE<uint32_t>(reinterpret_cast<const uint8_t*>(fields.data()), 0);
    fields.remove_prefix(sizeof(uint32_t));
    if (n > fields.size()) return false;
    *part = fields.substr(0, n);
    fields.remove_prefix(n);
  }
  return true;
}

bool QelReader::finish(std::string& reason) const {
  if (remaining() == 0) return true;
  reason = "damaged feature file (trailing bytes)";
  return false;
}

namespace {

constexpr const char kTwoPointsOfOneName[] = "damaged feature file (two points of one name)";

// Reads every record after the points, handing each to the store when there is one.
bool readRecords(QelReader& r, FeatureStore* store, std::string& reason) {
  // Room is made after the first record: the reader has then checked that
  // the rest of the file can hold as many as the count says.
  QelFeatureView fv;
  for (uint32_t i = 0; i < r.featureCount(); ++i) {
    if (!r.nextFeature(fv, reason)) return false;
    if (!store) continue;
    if (i == 0) store->reserveFeatures(r.featureCount());
    StoredFeature f;
    f.header = *fv.header;
    f.refs.assign(fv.refs, fv.refs + fv.refCount);
    f.attributes.assign(fv.attributes, fv.attributes + fv.length);
    store->features().push_back(std::move(f));
  }
  QelTextView tv;
  for (uint32_t i = 0; i < r.textCount(); ++i) {
    if (!r.nextText(tv, reason)) return false;
    if (!store) continue;
    if (i == 0) store->texts().reserve(r.textCount());
    StoredText t;
    t.anchor[0] = tv.anchor[0];
    t.anchor[1] = tv.anchor[1];
    t.text.assign(tv.text);
    t.style = *tv.style;
    t.mode = tv.mode;
    t.fields.reserve(tv.fieldCount);
    std::string_view fields = tv.fields, name, value;
    while (QelReader::nextField(fields, name, value)) t.fields.emplace_back(name, value);
    store->texts().push_back(std::move(t));
  }
  return r.finish(reason);
}

}  // namespace

bool decodeQel(std::string_view bytes, FeatureStore& store, std::string& reason) {
  store = FeatureStore();
  QelReader r;
  bool ok = r.open(bytes, reason);
  if (ok && !store.loadPoints(r.points(), r.pointCount())) {
    reason = kTwoPointsOfOneName;
    ok = false;
  }
  if (ok) ok = readRecords(r, &store, reason);
  if (!ok) store = FeatureStore();
  return ok;
}

bool checkQel(std::string_view bytes, std::string& reason) {
  QelReader r;
  if (!r.open(bytes, reason)) return false;
  {
    PointIndex names;
    if (!names.insertAll(r.points(), r.pointCount(), r.points())) {
      reason = kTwoPointsOfOneName;
      return false;
    }
  }
  return readRecords(r, nullptr, reason);
}

}  // namespace dz
