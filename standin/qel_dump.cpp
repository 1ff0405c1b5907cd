#include "standin/qel_dump.h"

#include <utility>

#include "base/fixed_field.h"
#include "base/json.h"

namespace dz {
namespace {

std::string integer(long long v) { return std::to_string(v); }

std::string_view textUpToZero(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

// The document built piece by piece: each record is appended to a buffer
// that goes to the sink whenever it passes 64 KiB.
class DumpWriter {
 public:
  explicit DumpWriter(const QelSink* sink) : sink_(sink) {}

  void begin() { out_ = "{\"format\": \"qel-dump/1\",\n \"points\": ["; }

  void point(const PointRecord& p) {
    open();
    nameFields(p.name);
    out_ += ", \"w12\": " + integer(p.w12) + ", \"w14\": " + integer(p.w14) + ", \"w16\": " + integer(p.w16);
    out_ += ", \"code\": " + integer(p.code);
    out_ += ", \"north\": " + jsonNumber(p.north) + ", \"east\": " + jsonNumber(p.east) +
            ", \"elev\": " + jsonNumber(p.elev) + ", \"flag\": " + integer(p.flag) + "}";
    passed();
  }
  void endPoints() { close("features"); }

  void feature(const FeatureHeader& header, const PointRef* refs, size_t refCount, const uint8_t* attributes,
               size_t length) {
    open();
    out_ += "\"index\": " + integer(++index_) + ", ";
    nameFields(header.name);
    out_ += ", \"kind\": " + integer(header.kind) + ", \"code\": " + integer(header.code) + ", \"refs\": [";
    for (size_t i = 0; i < refCount; ++i) {
      if (i) out_ += ", ";
      out_ += "{\"name\": " + jsonQuoteGbk(nameText(refs[i].name)) + ", \"kind\": " + integer(refs[i].kind) + "}";
    }
    out_ += "], \"attributes\": \"" + hexBytes(attributes, length) + "\"}";
    passed();
  }
  void endFeatures() { close("texts"); }

  // `eachField(f)` calls f(name, value) for every field in order.
  template <typename EachField>
  void text(const double anchor[2], std::string_view text, const TextStyle& style, int32_t mode,
            EachField eachField) {
    open();
    out_ += "\"index\": " + integer(++index_) + ", \"anchor\": [" + jsonNumber(anchor[0]) + ", " +
            jsonNumber(anchor[1]) + "]";
    out_ += ", \"text\": " + jsonQuoteGbk(textUpToZero(text)) + ", \"raw_text\": \"" +
            hexBytes(text.data(), text.size()) + "\"";
    out_ += ", \"length\": " + integer(static_cast<long long>(text.size()));
    out_ += ", \"style\": \"" + hexBytes(&style, sizeof style) + "\", \"mode\": " + integer(mode);
    out_ += ", \"fields\": {";
    bool firstField = true;
    eachField([&](std::string_view name, std::string_view value) {
      if (!firstField) out_ += ", ";
      firstField = false;
      out_ += jsonQuoteGbk(name) + ": " + jsonQuoteGbk(textUpToZero(value));
    });
    out_ += "}}";
    passed();
  }
  void end() {
    out_ += first_ ? "]}\n" : "\n ]}\n";
    if (sink_) (*sink_)(out_.data(), out_.size());
  }

  std::string& document() { return out_; }

 private:
  void open() {
    out_ += first_ ? "\n  {" : ",\n  {";
    first_ = false;
  }
  void close(const char* next) {
    out_ += first_ ? "]," : "\n ],";
    out_ += "\n \"";
    out_ += next;
    out_ += "\": [";
    first_ = true;
    index_ = 0;
  }
  void nameFields(const char* field12) {
    out_ += "\"name\": " + jsonQuoteGbk(nameText(field12)) + ", \"raw_name\": \"" + hexBytes(field12, kNameWidth) +
            "\"";
  }
  void passed() {
    if (sink_ && out_.size() >= kPiece) {
      (*sink_)(out_.data(), out_.size());
      out_.clear();
    }
  }

  static constexpr size_t kPiece = 64 * 1024;
  const QelSink* sink_;  // null: the whole document stays in out_
  std::string out_;
  bool first_ = true;
  long long index_ = 0;
};

}  // namespace

std::string dumpFeatureStore(const FeatureStore& store) {
  DumpWriter w(nullptr);
  w.begin();
  for (const PointRecord& p : store.points()) w.point(p);
  w.endPoints();
  for (const StoredFeature& f : store.features())
    w.feature(f.header, f.refs().data(), f.refs().size(), f.attributes().data(), f.attributes().size());
  w.endFeatures();
  for (const StoredText& t : store.texts())
    w.text(t.anchor, t.text(), t.style(), t.mode, [&t](auto field) {
      for (const auto& kv : t.fields()) field(kv.first, kv.second);
    });
  w.end();
  return std::move(w.document());
}

bool dumpFeatureFile(std::string_view bytes, const QelSink& out, std::string& reason) {
  // The whole file is checked first: a damaged one prints nothing.
  if (!checkQel(bytes, reason)) return false;
  QelReader r;
  r.open(bytes, reason);
  DumpWriter w(&out);
  w.begin();
  for (uint32_t i = 0; i < r.pointCount(); ++i) w.point(r.points()[i]);
  w.endPoints();
  QelFeatureView f;
  for (uint32_t i = 0; i < r.featureCount(); ++i) {
    r.nextFeature(f, reason);
    w.feature(*f.header, f.refs, f.refCount, f.attributes, f.length);
  }
  w.endFeatures();
  QelTextView t;
  for (uint32_t i = 0; i < r.textCount(); ++i) {
    r.nextText(t, reason);
    w.text(t.anchor, t.text, *t.style, t.mode, [&t](auto field) {
      std::string_view fields = t.fields, name, value;
      while (QelReader::nextField(fields, name, value)) field(name, value);
    });
  }
  w.end();
  return true;
}

}  // namespace dz
