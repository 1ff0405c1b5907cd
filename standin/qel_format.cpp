#include "standin/qel_format.h"

#include <cstdint>
#include <cstring>

#include "base/crc32.h"
#include "base/fixed_field.h"
#include "host/records.h"

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

class Writer {
 public:
  void bytes(const void* p, size_t n) { out_.append(static_cast<const char*>(p), n); }
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
  void text(const std::string& s) {
    u32(static_cast<uint32_t>(s.size()));
    bytes(s.data(), s.size());
  }
  std::string& out() { return out_; }

 private:
  std::string out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  bool bytes(void* p, size_t n) {
    if (n > in_.size() - pos_) return false;
    // An empty list or block has no storage to copy into.
    if (n > 0) std::memcpy(p, in_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool u32(uint32_t& v) {
    uint8_t b[sizeof v];
    if (!bytes(b, sizeof b)) return false;
    v = getLE<uint32_t>(b, 0);
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool f64(double& v) {
    uint8_t b[sizeof v];
    if (!bytes(b, sizeof b)) return false;
    v = getLE<double>(b, 0);
    return true;
  }
  bool text(std::string& s) {
    uint32_t n;
    if (!u32(n) || n > remaining()) return false;
    s.assign(in_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  size_t remaining() const { return in_.size() - pos_; }

 private:
  std::string_view in_;
  size_t pos_ = 0;
};

}  // namespace

std::string encodeQel(const FeatureStore& store) {
  Writer w;
  w.out().reserve(kHeaderSize + store.points().size() * sizeof(PointRecord) + kChecksumSize);
  w.bytes(kMagic, sizeof kMagic);
  w.u32(kVersion);
  w.u32(static_cast<uint32_t>(store.points().size()));
  w.u32(static_cast<uint32_t>(store.features().size()));
  w.u32(static_cast<uint32_t>(store.texts().size()));
  w.bytes(store.points().data(), store.points().size() * sizeof(PointRecord));
  for (const StoredFeature& f : store.features()) {
    w.bytes(&f.header, sizeof f.header);
    w.u32(static_cast<uint32_t>(f.refs.size()));
    w.bytes(f.refs.data(), f.refs.size() * sizeof(PointRef));
    w.u32(static_cast<uint32_t>(f.attributes.size()));
    w.bytes(f.attributes.data(), f.attributes.size());
  }
  for (const StoredText& t : store.texts()) {
    w.f64(t.anchor[0]);
    w.f64(t.anchor[1]);
    w.text(t.text);
    w.bytes(&t.style, sizeof t.style);
    w.i32(t.mode);
    w.u32(static_cast<uint32_t>(t.fields.size()));
    for (const auto& field : t.fields) {
      w.text(field.first);
      w.text(field.second);
    }
  }
  w.u32(crc32(w.out()));
  return std::move(w.out());
}

bool decodeQel(std::string_view bytes, FeatureStore& store, std::string& reason) {
  store = FeatureStore();
  auto fail = [&](const char* why) {
    store = FeatureStore();
    reason = why;
    return false;
  };
  if (bytes.size() < kHeaderSize + kChecksumSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return fail("not a feature file (no feature-file signature)");
  const std::string_view body = bytes.substr(0, bytes.size() - kChecksumSize);
  if (crc32(body) != getLE<uint32_t>(reinterpret_cast<const uint8_t*>(bytes.data()), body.size()))
    return fail("damaged feature file (checksum mismatch)");

  // The header is there: the length was checked above.
  Reader r(body);
  char magic[sizeof kMagic];
  uint32_t version, pointCount, featureCount, textCount;
  r.bytes(magic, sizeof magic);
  r.u32(version);
  if (version != kVersion) return fail("feature file of an unsupported version");
  r.u32(pointCount);
  r.u32(featureCount);
  r.u32(textCount);

  if (pointCount > r.remaining() / sizeof(PointRecord)) return fail("damaged feature file (point table)");
  store.reservePoints(pointCount);
  for (uint32_t i = 0; i < pointCount; ++i) {
    PointRecord p;
    r.bytes(&p, sizeof p);
    if (!store.addPoint(p)) return fail("damaged feature file (two points of one name)");
  }

  if (featureCount > r.remaining() / kMinFeatureSize) return fail("damaged feature file (feature table)");
  store.features().reserve(featureCount);
  for (uint32_t i = 0; i < featureCount; ++i) {
    StoredFeature f;
    uint32_t refCount, length;
    if (!r.bytes(&f.header, sizeof f.header) || !r.u32(refCount) || refCount > kMaxVertices ||
        refCount > r.remaining() / sizeof(PointRef))
      return fail("damaged feature file (feature)");
    f.refs.resize(refCount);
    r.bytes(f.refs.data(), refCount * sizeof(PointRef));
    if (!r.u32(length) || length > r.remaining()) return fail("damaged feature file (attribute block)");
    f.attributes.resize(length);
    r.bytes(f.attributes.data(), length);
    store.features().push_back(std::move(f));
  }

  if (textCount > r.remaining() / kMinTextSize) return fail("damaged feature file (text table)");
  store.texts().reserve(textCount);
  for (uint32_t i = 0; i < textCount; ++i) {
    StoredText t;
    uint32_t fieldCount;
    if (!r.f64(t.anchor[0]) || !r.f64(t.anchor[1]) || !r.text(t.text) || !r.bytes(&t.style, sizeof t.style) ||
        !r.i32(t.mode) || !r.u32(fieldCount) || fieldCount > r.remaining() / kMinFieldSize)
      return fail("damaged feature file (text object)");
    for (uint32_t k = 0; k < fieldCount; ++k) {
      std::string name, value;
      if (!r.text(name) || !r.text(value)) return fail("damaged feature file (text field)");
      t.fields.emplace_back(std::move(name), std::move(value));
    }
    store.texts().push_back(std::move(t));
  }
  if (r.remaining() != 0) return fail("damaged feature file (trailing bytes)");
  return true;
}

}  // namespace dz
