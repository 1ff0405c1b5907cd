#include "standin/qel_dump.h"

#include "base/fixed_field.h"
#include "base/json.h"

namespace dz {
namespace {

std::string nameFields(const char* field12) {
  return "\"name\": " + jsonQuoteGbk(nameText(field12)) + ", \"raw_name\": \"" + hexBytes(field12, kNameWidth) + "\"";
}

std::string integer(long long v) { return std::to_string(v); }

std::string textUpToZero(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

std::string dumpFeatureStore(const FeatureStore& store) {
  std::string out = "{\"format\": \"qel-dump/1\",\n \"points\": [";
  bool first = true;
  for (const PointRecord& p : store.points()) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    out += nameFields(p.name);
    out += ", \"w12\": " + integer(p.w12) + ", \"w14\": " + integer(p.w14) + ", \"w16\": " + integer(p.w16);
    out += ", \"code\": " + integer(p.code);
    out += ", \"north\": " + jsonNumber(p.north) + ", \"east\": " + jsonNumber(p.east) +
           ", \"elev\": " + jsonNumber(p.elev) + ", \"flag\": " + integer(p.flag) + "}";
  }
  out += first ? "],\n \"features\": [" : "\n ],\n \"features\": [";
  first = true;
  int index = 0;
  for (const StoredFeature& f : store.features()) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    out += "\"index\": " + integer(++index) + ", " + nameFields(f.header.name);
    out += ", \"kind\": " + integer(f.header.kind) + ", \"code\": " + integer(f.header.code) + ", \"refs\": [";
    for (size_t i = 0; i < f.refs.size(); ++i) {
      if (i) out += ", ";
      out += "{\"name\": " + jsonQuoteGbk(nameText(f.refs[i].name)) + ", \"kind\": " + integer(f.refs[i].kind) + "}";
    }
    out += "], \"attributes\": \"" + hexBytes(f.attributes.data(), f.attributes.size()) + "\"}";
  }
  out += first ? "],\n \"texts\": [" : "\n ],\n \"texts\": [";
  first = true;
  index = 0;
  for (const StoredText& t : store.texts()) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    out += "\"index\": " + integer(++index) + ", \"anchor\": [" + jsonNumber(t.anchor[0]) + ", " +
           jsonNumber(t.anchor[1]) + "]";
    out += ", \"text\": " + jsonQuoteGbk(textUpToZero(t.text)) + ", \"raw_text\": \"" +
           hexBytes(t.text.data(), t.text.size()) + "\"";
    out += ", \"length\": " + integer(static_cast<long long>(t.text.size()));
    out += ", \"style\": \"" + hexBytes(&t.style, sizeof t.style) + "\", \"mode\": " + integer(t.mode);
    out += ", \"fields\": {";
    for (size_t i = 0; i < t.fields.size(); ++i) {
      if (i) out += ", ";
      out += jsonQuoteGbk(t.fields[i].first) + ": " + jsonQuoteGbk(textUpToZero(t.fields[i].second));
    }
    out += "}}";
  }
  out += first ? "]}\n" : "\n ]}\n";
  return out;
}

}  // namespace dz
