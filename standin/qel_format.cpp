#include "standin/qel_format.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "base/crc32.h"
#include "base/file_io.h"
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
  // Room for `n` bytes (at most half the buffer) to write in place; took(n)
  // then adds them.
  char* room(size_t n) {
    if (used_ + n > kBuffer) flush();
    return buffer_ + used_;
  }
  void took(size_t n) { used_ += n; }
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
  const StoredPoints& points = store.points();
  if (const PointRecord* records = points.records()) {
    w->bytes(records, points.size() * sizeof(PointRecord));
  } else {
    // Points kept in short form become their records in the writer's buffer.
    constexpr size_t kSome = 256;
    for (size_t first = 0; first < points.size(); first += kSome) {
      const size_t n = std::min(kSome, points.size() - first);
      points.copyRecords(first, n, reinterpret_cast<PointRecord*>(w->room(n * sizeof(PointRecord))));
      w->took(n * sizeof(PointRecord));
    }
  }
  for (const StoredFeature& f : store.features()) {
    w->bytes(&f.header, sizeof f.header);
    w->u32(static_cast<uint32_t>(f.refs().size()));
    w->bytes(f.refs().data(), f.refs().size() * sizeof(PointRef));
    w->u32(static_cast<uint32_t>(f.attributes().size()));
    w->bytes(f.attributes().data(), f.attributes().size());
  }
  for (const StoredText& t : store.texts()) {
    w->f64(t.anchor[0]);
    w->f64(t.anchor[1]);
    w->text(t.text());
    w->bytes(&t.style(), sizeof(TextStyle));
    w->i32(t.mode);
    w->u32(static_cast<uint32_t>(t.fields().size()));
    for (const auto& field : t.fields()) {
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
    size += kMinFeatureSize + f.refs().size() * sizeof(PointRef) + f.attributes().size();
  for (const StoredText& t : store.texts()) {
    size += kMinTextSize + t.text().size();
    for (const auto& field : t.fields()) size += kMinFieldSize + field.first.size() + field.second.size();
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

namespace {

constexpr const char kNoSignature[] = "not a feature file (no feature-file signature)";
constexpr const char kChecksumMismatch[] = "damaged feature file (checksum mismatch)";
constexpr const char kTwoPointsOfOneName[] = "damaged feature file (two points of one name)";

// The window over a source: enough for most records many times over, small
// beside any file worth reading in pieces.
constexpr size_t kWindowSize = size_t{1} << 20;

}  // namespace

QelReader::QelReader() = default;
QelReader::~QelReader() = default;
QelReader::QelReader(QelReader&&) noexcept = default;
QelReader& QelReader::operator=(QelReader&&) noexcept = default;

bool QelReader::take(size_t n, size_t& at) {
  if (n > remaining()) return false;
  if (n > windowSize_ - pos_ && !fill(n)) return false;
  at = pos_ - recordStart_;
  pos_ += n;
  return true;
}

bool QelReader::u32(uint32_t& v) {
  size_t at = 0;
  if (!take(sizeof v, at)) return false;
  v = getLE<uint32_t>(reinterpret_cast<const uint8_t*>(record(at)), 0);
  return true;
}

// Only over a source (over bytes the window is the whole body): moves the
// record begun so far to the front of the window, growing it when the
// record needs more, and reads on until `n` bytes follow pos_.
bool QelReader::fill(size_t n) {
  const size_t kept = windowSize_ - recordStart_;
  const size_t wanted = pos_ - recordStart_ + n;
  if (wanted > capacity_) {
    const size_t capacity = std::max({wanted, 2 * capacity_, kWindowSize});
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (kept > 0) std::memcpy(bigger.get(), window_ + recordStart_, kept);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
  } else if (kept > 0 && recordStart_ > 0) {
    std::memmove(buffer_.get(), window_ + recordStart_, kept);
  }
  window_ = buffer_.get();
  windowStart_ += recordStart_;
  pos_ -= recordStart_;
  recordStart_ = 0;
  windowSize_ = kept;
  const uint64_t unread = bodySize_ - (windowStart_ + windowSize_);
  const size_t more = static_cast<size_t>(std::min<uint64_t>(capacity_ - windowSize_, unread));
  if (!pull(buffer_.get() + windowSize_, more, true)) return false;
  windowSize_ += more;
  return true;
}

bool QelReader::pull(char* data, size_t n, bool checksummed) {
  while (n > 0) {
    const int64_t got = (*source_)(data, n);
    if (got <= 0) {
      readFailed_ = true;
      return false;
    }
    if (checksummed) crc_ = crc32Update(crc_, data, static_cast<size_t>(got));
    data += got;
    n -= static_cast<size_t>(got);
  }
  return true;
}

bool QelReader::open(std::string_view bytes, std::string& reason) {
  *this = QelReader();
  if (bytes.size() < kHeaderSize + kChecksumSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    reason = kNoSignature;
    return false;
  }
  signatureSeen_ = true;
  window_ = bytes.data();
  windowSize_ = bytes.size() - kChecksumSize;
  bodySize_ = windowSize_;
  if (crc32(std::string_view(window_, windowSize_)) !=
      getLE<uint32_t>(reinterpret_cast<const uint8_t*>(bytes.data()), windowSize_)) {
    reason = kChecksumMismatch;
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
  return readPointTable(reason);
}

bool QelReader::open(uint64_t size, const QelSource& source, std::string& reason) {
  *this = QelReader();
  source_ = &source;
  if (size < kHeaderSize + kChecksumSize) {
    reason = kNoSignature;
    return false;
  }
  bodySize_ = size - kChecksumSize;
  size_t at = 0;
  if (!take(sizeof kMagic, at)) return false;
  if (std::memcmp(record(at), kMagic, sizeof kMagic) != 0) {
    reason = kNoSignature;
    return false;
  }
  signatureSeen_ = true;
  uint32_t version = 0;
  if (!u32(version)) return false;
  if (version != kVersion) {
    reason = "feature file of an unsupported version";
    return false;
  }
  if (!u32(pointCount_) || !u32(featureCount_) || !u32(textCount_)) return false;
  return readPointTable(reason);
}

bool QelReader::readPointTable(std::string& reason) {
  if (pointCount_ > remaining() / sizeof(PointRecord)) {
    reason = "damaged feature file (point table)";
    return false;
  }
  const size_t bytes = pointCount_ * sizeof(PointRecord);
  if (!source_) {
    size_t at = 0;
    take(bytes, at);
    points_ = reinterpret_cast<const PointRecord*>(record(at));
    return true;
  }
  // Over a source the table goes into its own storage, the part already in
  // the window first, the rest straight from the source.
  table_.resize(pointCount_);
  char* to = reinterpret_cast<char*>(table_.data());
  const size_t inWindow = std::min(windowSize_ - pos_, bytes);
  if (inWindow > 0) std::memcpy(to, window_ + pos_, inWindow);
  pos_ += inWindow;
  if (bytes > inWindow) {
    windowStart_ += windowSize_;
    windowSize_ = pos_ = recordStart_ = 0;
    if (!pull(to + inWindow, bytes - inWindow, true)) return false;
    windowStart_ += bytes - inWindow;
  }
  points_ = table_.data();
  return true;
}

PointTable QelReader::takePointTable() {
  points_ = nullptr;
  return std::move(table_);
}

bool QelReader::nextFeature(QelFeatureView& f, std::string& reason) {
  if (featuresRead_ == 0 && featureCount_ > remaining() / kMinFeatureSize) {
    reason = "damaged feature file (feature table)";
    return false;
  }
  ++featuresRead_;
  recordStart_ = pos_;
  size_t header = 0, refs = 0, attributes = 0;
  if (!take(sizeof(FeatureHeader), header) || !u32(f.refCount) || f.refCount > kMaxVertices ||
      !take(f.refCount * sizeof(PointRef), refs)) {
    reason = "damaged feature file (feature)";
    return false;
  }
  if (!u32(f.length) || !take(f.length, attributes)) {
    reason = "damaged feature file (attribute block)";
    return false;
  }
  f.header = reinterpret_cast<const FeatureHeader*>(record(header));
  f.refs = reinterpret_cast<const PointRef*>(record(refs));
  f.attributes = reinterpret_cast<const uint8_t*>(record(attributes));
  return true;
}

bool QelReader::nextText(QelTextView& t, std::string& reason) {
  if (textsRead_ == 0 && textCount_ > remaining() / kMinTextSize) {
    reason = "damaged feature file (text table)";
    return false;
  }
  ++textsRead_;
  recordStart_ = pos_;
  size_t anchor = 0, text = 0, style = 0;
  uint32_t length, mode;
  if (!take(sizeof t.anchor, anchor) || !u32(length) || !take(length, text) || !take(sizeof(TextStyle), style) ||
      !u32(mode) || !u32(t.fieldCount) || t.fieldCount > remaining() / kMinFieldSize) {
    reason = "damaged feature file (text object)";
    return false;
  }
  const size_t fieldsStart = pos_ - recordStart_;
  for (uint32_t k = 0; k < t.fieldCount; ++k) {
    uint32_t n;
    size_t at = 0;
    if (!u32(n) || !take(n, at) || !u32(n) || !take(n, at)) {
      reason = "damaged feature file (text field)";
      return false;
    }
  }
  t.anchor[0] = getLE<double>(reinterpret_cast<const uint8_t*>(record(anchor)), 0);
  t.anchor[1] = getLE<double>(reinterpret_cast<const uint8_t*>(record(anchor)), sizeof(double));
  t.text = std::string_view(record(text), length);
  t.style = reinterpret_cast<const TextStyle*>(record(style));
  t.mode = static_cast<int32_t>(mode);
  t.fields = std::string_view(record(fieldsStart), pos_ - recordStart_ - fieldsStart);
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

bool QelReader::finish(std::string& reason) {
  if (remaining() != 0) {
    reason = "damaged feature file (trailing bytes)";
    return false;
  }
  if (!source_) return true;
  uint8_t stored[kChecksumSize];
  if (!pull(reinterpret_cast<char*>(stored), sizeof stored, false)) return false;
  checksumRead_ = true;
  if (crc_ != getLE<uint32_t>(stored, 0)) {
    reason = kChecksumMismatch;
    return false;
  }
  return true;
}

void QelReader::settle(std::string& reason) {
  if (!source_ || !signatureSeen_ || checksumRead_ || readFailed_) return;
  // The rest of the body, through the checksum, a window at a time.
  windowStart_ += windowSize_;
  windowSize_ = pos_ = recordStart_ = 0;
  if (!buffer_) {
    buffer_.reset(new char[kWindowSize]);
    capacity_ = kWindowSize;
  }
  while (windowStart_ < bodySize_) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(capacity_, bodySize_ - windowStart_));
    if (!pull(buffer_.get(), n, true)) return;
    windowStart_ += n;
  }
  std::string checksum;
  if (!finish(checksum) && !readFailed_) reason = checksum;
}

namespace {

// Reads every record after the points, handing each to the store when there is one.
bool readRecords(QelReader& r, FeatureStore* store, std::string& reason) {
  // Room is made after the first record: the reader has then checked that
  // the rest of the file can hold as many as the count says.
  QelFeatureView fv;
  for (uint32_t i = 0; i < r.featureCount(); ++i) {
    if (!r.nextFeature(fv, reason)) return false;
    if (!store) continue;
    if (i == 0) {
      store->reserveFeatures(r.featureCount());
      // The vertices and blocks of every feature, and the texts: the bytes
      // of the records but the features' headers and counts, which go
      // elsewhere or nowhere.
      const uint64_t counts = uint64_t{r.featureCount()} * (sizeof(FeatureHeader) + 2 * sizeof(uint32_t));
      const uint64_t left = r.recordBytesLeft() + fv.length + uint64_t{fv.refCount} * sizeof(PointRef);
      if (left > counts) store->reserveRecordBytes(static_cast<size_t>(std::min<uint64_t>(left - counts, SIZE_MAX / 2)));
    }
    store->addFeature(*fv.header, fv.refs, fv.refCount, fv.attributes, fv.length);
  }
  QelTextView tv;
  for (uint32_t i = 0; i < r.textCount(); ++i) {
    if (!r.nextText(tv, reason)) return false;
    if (!store) continue;
    StoredText& t = store->addText(tv.anchor, tv.text, *tv.style, tv.mode);
    std::string_view fields = tv.fields, name, value;
    while (QelReader::nextField(fields, name, value)) t.appendField(name, value);
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

bool decodeQel(uint64_t size, const QelSource& source, FeatureStore& store, std::string& reason, bool& readFailed) {
  store = FeatureStore();
  QelReader r;
  bool ok = r.open(size, source, reason);
  if (ok && !store.loadPoints(r.takePointTable())) {
    reason = kTwoPointsOfOneName;
    ok = false;
  }
  if (ok) ok = readRecords(r, &store, reason);
  if (!ok) {
    r.settle(reason);
    store = FeatureStore();
  }
  readFailed = r.readFailed();
  return ok;
}

bool readQelFile(const std::string& path, FeatureStore& store, std::string& reason, bool& unreadable) {
  FileReader file;
  unreadable = !file.open(path);
  if (!unreadable) {
    const QelSource source = [&file](void* data, size_t size) { return file.read(data, size); };
    if (decodeQel(file.size(), source, store, reason, unreadable)) return true;
  }
  if (unreadable) reason = file.error().empty() ? "the file ended before its size" : file.error();
  return false;
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
