#include "host/tracing_host.h"

#include <cstring>

#include "base/fixed_field.h"
#include "base/json.h"

namespace dz {
namespace {

std::string num(double v) { return jsonNumber(v); }
std::string num(long long v) { return std::to_string(v); }

std::string quoted(const char* text) { return text ? jsonQuoteGbk(text) : "null"; }

std::string pointer(const void* p) {
  if (!p) return "null";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%p", p);
  return buffer;
}

}  // namespace

std::string describeName(const char* field12) { return field12 ? jsonQuoteGbk(nameText(field12)) : "null"; }

std::string describePoint(const PointRecord* p) {
  if (!p) return "null";
  return "{name=" + describeName(p->name) + ", north=" + num(p->north) + ", east=" + num(p->east) +
         ", elev=" + num(p->elev) + ", code=" + num(static_cast<long long>(p->code)) +
         ", w14=" + num(static_cast<long long>(p->w14)) + ", w16=" + num(static_cast<long long>(p->w16)) +
         ", flag=" + num(static_cast<long long>(p->flag)) + "}";
}

std::string describeHeader(const FeatureHeader* h) {
  if (!h) return "null";
  return "{name=" + describeName(h->name) + ", kind=" + num(static_cast<long long>(h->kind)) +
         ", code=" + num(static_cast<long long>(h->code)) + "}";
}

TracingHostLibrary::LineSink TracingHostLibrary::toFile(std::FILE* out) {
  return [out](const std::string& line) {
    std::fputs(line.c_str(), out);
    std::fputc('\n', out);
    std::fflush(out);
  };
}

template <typename R>
R TracingHostLibrary::log(const std::string& call, R result) {
  sink_(call + " -> " + std::to_string(static_cast<long long>(result)));
  return result;
}

QelHandle TracingHostLibrary::OpenFeatureFile(const char* path) {
  return log("OpenFeatureFile(" + quoted(path) + ")", inner_.OpenFeatureFile(path));
}

int TracingHostLibrary::GetFeatureFileInfo(QelHandle file, FileInfo* info) {
  return log("GetFeatureFileInfo(" + num(static_cast<long long>(file)) + ")", inner_.GetFeatureFileInfo(file, info));
}

int16_t TracingHostLibrary::AddPoint(QelHandle file, const PointRecord* point, int count) {
  return log("AddPoint(" + num(static_cast<long long>(file)) + ", " + describePoint(point) + ", " +
                 num(static_cast<long long>(count)) + ")",
             inner_.AddPoint(file, point, count));
}

int TracingHostLibrary::PointExists(QelHandle file, const char* name) {
  return log("PointExists(" + num(static_cast<long long>(file)) + ", " + describeName(name) + ")",
             inner_.PointExists(file, name));
}

int TracingHostLibrary::GetPoint(QelHandle file, const char* name, PointRecord* point) {
  const int r = inner_.GetPoint(file, name, point);
  return log("GetPoint(" + num(static_cast<long long>(file)) + ", " + describeName(name) + ") " +
                 (r > 0 ? describePoint(point) : std::string("{}")),
             r);
}

int TracingHostLibrary::UpdatePoint(QelHandle file, const char* name, const PointRecord* point) {
  return log("UpdatePoint(" + num(static_cast<long long>(file)) + ", " + describeName(name) + ", " +
                 describePoint(point) + ")",
             inner_.UpdatePoint(file, name, point));
}

int TracingHostLibrary::GetPointXY(QelHandle file, const char* name, double* first, double* second) {
  const int r = inner_.GetPointXY(file, name, first, second);
  std::string call = "GetPointXY(" + num(static_cast<long long>(file)) + ", " + describeName(name) + ")";
  if (r > 0 && first && second) call += " (" + num(*first) + ", " + num(*second) + ")";
  return log(call, r);
}

int TracingHostLibrary::AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count,
                                   const void* attributes, int length) {
  std::string call = "AddFeature(" + num(static_cast<long long>(file)) + ", " + describeHeader(header) + ", [";
  for (int i = 0; refs && i < count; ++i)
    call += (i ? ", " : "") + describeName(refs[i].name) + "/" + num(static_cast<long long>(refs[i].kind));
  call += "], " + num(static_cast<long long>(count)) + ", ";
  call += attributes && length > 0 ? hexBytes(attributes, static_cast<size_t>(length)) : std::string("null");
  call += ", " + num(static_cast<long long>(length)) + ")";
  return log(call, inner_.AddFeature(file, header, refs, count, attributes, length));
}

int TracingHostLibrary::GetFeatureCount(QelHandle file, int* count) {
  const int r = inner_.GetFeatureCount(file, count);
  return log("GetFeatureCount(" + num(static_cast<long long>(file)) + ")" +
                 (r > 0 && count ? " count=" + num(static_cast<long long>(*count)) : std::string()),
             r);
}

int16_t TracingHostLibrary::GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs,
                                       int16_t* refCount, const uint8_t** attributes, int* length) {
  const int16_t r = inner_.GetFeature(file, index, header, refs, refCount, attributes, length);
  std::string call = "GetFeature(" + num(static_cast<long long>(file)) + ", " + num(static_cast<long long>(index)) + ")";
  if (r > 0)
    call += " " + describeHeader(header) + " refs=" + num(static_cast<long long>(*refCount)) +
            " length=" + num(static_cast<long long>(*length));
  return log(call, r);
}

int TracingHostLibrary::SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes,
                                             int length) {
  return log("SetFeatureAttributes(" + num(static_cast<long long>(file)) + ", " + num(static_cast<long long>(index)) +
                 ", " + num(static_cast<long long>(kind)) + ", " +
                 (attributes && length > 0 ? hexBytes(attributes, static_cast<size_t>(length)) : std::string("null")) +
                 ", " + num(static_cast<long long>(length)) + ")",
             inner_.SetFeatureAttributes(file, index, kind, attributes, length));
}

int TracingHostLibrary::PrepareSaveAs(QelHandle file) {
  return log("PrepareSaveAs(" + num(static_cast<long long>(file)) + ")", inner_.PrepareSaveAs(file));
}

int TracingHostLibrary::SaveFeatureFileAs(QelHandle file, const char* path) {
  return log("SaveFeatureFileAs(" + num(static_cast<long long>(file)) + ", " + quoted(path) + ")",
             inner_.SaveFeatureFileAs(file, path));
}

int TracingHostLibrary::CommitFeatureFile(QelHandle file) {
  return log("CommitFeatureFile(" + num(static_cast<long long>(file)) + ")", inner_.CommitFeatureFile(file));
}

int TracingHostLibrary::CloseFeatureFile(QelHandle file) {
  return log("CloseFeatureFile(" + num(static_cast<long long>(file)) + ")", inner_.CloseFeatureFile(file));
}

QelHandle TracingHostLibrary::GetTextLayer(QelHandle file) {
  return log("GetTextLayer(" + num(static_cast<long long>(file)) + ")", inner_.GetTextLayer(file));
}

const uint8_t* TracingHostLibrary::GetHostInfo(int zero) {
  const uint8_t* info = inner_.GetHostInfo(zero);
  sink_("GetHostInfo(" + std::to_string(zero) + ") -> " +
        (info ? "dir=" + jsonQuoteGbk(reinterpret_cast<const char*>(info + kHostInfoDirOffset)) : std::string("null")));
  return info;
}

int TracingHostLibrary::AddTextObject(QelHandle layer, const double* anchor, const char* text, int length,
                                      const TextStyle* style, int mode) {
  std::string call = "AddTextObject(" + num(static_cast<long long>(layer)) + ", ";
  call += anchor ? "(" + num(anchor[0]) + ", " + num(anchor[1]) + ")" : std::string("null");
  call += ", " + (text && length >= 0 ? jsonQuoteGbk(std::string(text, static_cast<size_t>(length))) : std::string("null"));
  call += ", " + num(static_cast<long long>(length));
  if (style)
    call += ", {height=" + num(static_cast<double>(style->height)) + ", width=" + num(static_cast<double>(style->width)) +
            ", angle=" + num(static_cast<double>(style->angle)) + "}";
  call += ", " + num(static_cast<long long>(mode)) + ")";
  return log(call, inner_.AddTextObject(layer, anchor, text, length, style, mode));
}

int16_t TracingHostLibrary::GetObjectAttributes(QelHandle layer, int object, void** a, void** b) {
  const int16_t r = inner_.GetObjectAttributes(layer, object, a, b);
  return log("GetObjectAttributes(" + num(static_cast<long long>(layer)) + ", " + num(static_cast<long long>(object)) +
                 ")" + (r > 0 ? " a=" + pointer(*a) + " b=" + pointer(*b) : std::string()),
             r);
}

int TracingHostLibrary::SetAttributeField(void* b, void* a, const char* field, const char* value) {
  return log("SetAttributeField(" + pointer(b) + ", " + pointer(a) + ", " + quoted(field) + ", " + quoted(value) + ")",
             inner_.SetAttributeField(b, a, field, value));
}

int TracingHostLibrary::WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) {
  return log("WriteObjectAttributes(" + num(static_cast<long long>(layer)) + ", " + num(static_cast<long long>(one)) +
                 ", " + num(static_cast<long long>(object)) + ", " + pointer(a) + ", " + pointer(b) + ")",
             inner_.WriteObjectAttributes(layer, one, object, a, b));
}

int16_t TracingHostLibrary::PointInPolygon(const double* pairs, int count, const double* point) {
  std::string call = "PointInPolygon(" + num(static_cast<long long>(count)) + " vertices, ";
  call += point ? "(" + num(point[0]) + ", " + num(point[1]) + ")" : std::string("null");
  return log(call + ")", inner_.PointInPolygon(pairs, count, point));
}

}  // namespace dz
