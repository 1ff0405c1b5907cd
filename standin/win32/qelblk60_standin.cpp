// The stand-in QelBlk60.dll: the host's feature-file operations at their
// ordinals, over one engine for the whole process. Nothing is thrown across
// the library boundary: a failure inside becomes the operation's failure
// result.
#include <string>

#include "host/host_exports.h"
#include "standin/engine.h"
#include "standin/qel_dump.h"
#include "standin/win32/standin_extras.h"

// The C exports below speak in the host records.
using namespace dz;

namespace {

dz::FeatureFileEngine& engine() {
  static dz::FeatureFileEngine instance(dz::FeatureFileEngine::resolveHostDir(""));
  return instance;
}

template <typename R, typename F>
R guarded(R failure, F work) {
  try {
    return work();
  } catch (...) {
    return failure;
  }
}

std::string& textBuffer() {
  static std::string buffer;
  return buffer;
}

}  // namespace

extern "C" {

int16_t DZ_CALLCONV QelBlk60_OpenFeatureFile(const char* path) {
  return guarded<int16_t>(0, [&] { return engine().OpenFeatureFile(path); });
}
int DZ_CALLCONV QelBlk60_GetFeatureFileInfo(int16_t file, FileInfo* info) {
  return guarded(-1, [&] { return engine().GetFeatureFileInfo(file, info); });
}
int16_t DZ_CALLCONV QelBlk60_AddPoint(int16_t file, const PointRecord* point, int count) {
  return guarded<int16_t>(-1, [&] { return engine().AddPoint(file, point, count); });
}
int DZ_CALLCONV QelBlk60_PointExists(int16_t file, const char* name) {
  return guarded(-1, [&] { return engine().PointExists(file, name); });
}
int DZ_CALLCONV QelBlk60_GetPoint(int16_t file, const char* name, PointRecord* point) {
  return guarded(-1, [&] { return engine().GetPoint(file, name, point); });
}
int DZ_CALLCONV QelBlk60_UpdatePoint(int16_t file, const char* name, const PointRecord* point) {
  return guarded(-1, [&] { return engine().UpdatePoint(file, name, point); });
}
int DZ_CALLCONV QelBlk60_GetPointXY(int16_t file, const char* name, double* first, double* second) {
  return guarded(-1, [&] { return engine().GetPointXY(file, name, first, second); });
}
int DZ_CALLCONV QelBlk60_AddFeature(int16_t file, const FeatureHeader* header, const PointRef* refs, int count,
                                    const void* attributes, int length) {
  return guarded(-1, [&] { return engine().AddFeature(file, header, refs, count, attributes, length); });
}
int DZ_CALLCONV QelBlk60_GetFeatureCount(int16_t file, int* count) {
  return guarded(-1, [&] { return engine().GetFeatureCount(file, count); });
}
int16_t DZ_CALLCONV QelBlk60_GetFeature(int16_t file, int index, FeatureHeader* header, const PointRef** refs,
                                        int16_t* refCount, const uint8_t** attributes, int* length) {
  return guarded<int16_t>(-1, [&] { return engine().GetFeature(file, index, header, refs, refCount, attributes, length); });
}
int DZ_CALLCONV QelBlk60_SetFeatureAttributes(int16_t file, int index, int16_t kind, const void* attributes,
                                              int length) {
  return guarded(-1, [&] { return engine().SetFeatureAttributes(file, index, kind, attributes, length); });
}
int DZ_CALLCONV QelBlk60_PrepareSaveAs(int16_t file) {
  return guarded(-1, [&] { return engine().PrepareSaveAs(file); });
}
int DZ_CALLCONV QelBlk60_SaveFeatureFileAs(int16_t file, const char* path) {
  return guarded(-1, [&] { return engine().SaveFeatureFileAs(file, path); });
}
int DZ_CALLCONV QelBlk60_CommitFeatureFile(int16_t file) {
  return guarded(-1, [&] { return engine().CommitFeatureFile(file); });
}
int DZ_CALLCONV QelBlk60_CloseFeatureFile(int16_t file) {
  return guarded(-1, [&] { return engine().CloseFeatureFile(file); });
}
int16_t DZ_CALLCONV QelBlk60_GetTextLayer(int16_t file) {
  return guarded<int16_t>(0, [&] { return engine().GetTextLayer(file); });
}

const uint8_t* DZ_CALLCONV Standin_GetHostInfo(int zero) {
  return guarded<const uint8_t*>(nullptr, [&] { return engine().GetHostInfo(zero); });
}
int DZ_CALLCONV Standin_AddTextObject(int16_t layer, const double* anchor, const char* text, int length,
                                      const TextStyle* style, int mode) {
  return guarded(-1, [&] { return engine().AddTextObject(layer, anchor, text, length, style, mode); });
}
int16_t DZ_CALLCONV Standin_GetObjectAttributes(int16_t layer, int object, void** a, void** b) {
  return guarded<int16_t>(-1, [&] { return engine().GetObjectAttributes(layer, object, a, b); });
}
int DZ_CALLCONV Standin_SetAttributeField(void* b, void* a, const char* field, const char* value) {
  return guarded(-1, [&] { return engine().SetAttributeField(b, a, field, value); });
}
int DZ_CALLCONV Standin_WriteObjectAttributes(int16_t layer, int one, int object, void* a, void* b) {
  return guarded(-1, [&] { return engine().WriteObjectAttributes(layer, one, object, a, b); });
}
int16_t DZ_CALLCONV Standin_PointInPolygon(const double* pairs, int count, const double* point) {
  return guarded<int16_t>(0, [&] { return engine().PointInPolygon(pairs, count, point); });
}

const char* DZ_CALLCONV Standin_DumpJson(int16_t file) {
  return guarded<const char*>(nullptr, [&]() -> const char* {
    const dz::FeatureStore* store = engine().store(file);
    if (!store) return nullptr;
    textBuffer() = dz::dumpFeatureStore(*store);
    return textBuffer().c_str();
  });
}

const char* DZ_CALLCONV Standin_LastOpenError() {
  return guarded<const char*>("", [&] {
    textBuffer() = engine().lastOpenError();
    return textBuffer().c_str();
  });
}

const char* DZ_CALLCONV Standin_TakeProblems() {
  return guarded<const char*>("", [&] {
    textBuffer().clear();
    for (const std::string& p : engine().takeProblems()) textBuffer() += p + "\n";
    return textBuffer().c_str();
  });
}

}  // extern "C"
