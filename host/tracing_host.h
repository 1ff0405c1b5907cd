// A HostLibrary that passes every call on and writes one line per call, with
// its decoded arguments and its result: the call log of --trace.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "host/host_library.h"

namespace dz {

class TracingHostLibrary : public HostLibrary {
 public:
  using LineSink = std::function<void(const std::string& line)>;

  TracingHostLibrary(HostLibrary& inner, LineSink sink) : inner_(inner), sink_(std::move(sink)) {}
  // A sink that writes each line to `out` (which stays the caller's) and flushes.
  static LineSink toFile(std::FILE* out);

  QelHandle OpenFeatureFile(const char* path) override;
  int GetFeatureFileInfo(QelHandle file, FileInfo* info) override;
  int16_t AddPoint(QelHandle file, const PointRecord* point, int count) override;
  int PointExists(QelHandle file, const char* name) override;
  int GetPoint(QelHandle file, const char* name, PointRecord* point) override;
  int UpdatePoint(QelHandle file, const char* name, const PointRecord* point) override;
  int GetPointXY(QelHandle file, const char* name, double* first, double* second) override;
  int AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count,
                 const void* attributes, int length) override;
  int GetFeatureCount(QelHandle file, int* count) override;
  int16_t GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs, int16_t* refCount,
                     const uint8_t** attributes, int* length) override;
  int SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes, int length) override;
  int PrepareSaveAs(QelHandle file) override;
  int SaveFeatureFileAs(QelHandle file, const char* path) override;
  int CommitFeatureFile(QelHandle file) override;
  int CloseFeatureFile(QelHandle file) override;
  QelHandle GetTextLayer(QelHandle file) override;
  const uint8_t* GetHostInfo(int zero) override;
  int AddTextObject(QelHandle layer, const double* anchor, const char* text, int length, const TextStyle* style,
                    int mode) override;
  int16_t GetObjectAttributes(QelHandle layer, int object, void** a, void** b) override;
  int SetAttributeField(void* b, void* a, const char* field, const char* value) override;
  int WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) override;
  int16_t PointInPolygon(const double* pairs, int count, const double* point) override;

 private:
  template <typename R>
  R log(const std::string& call, R result);

  HostLibrary& inner_;
  LineSink sink_;
};

// Decoded forms used by the log (and handy in test failure messages).
std::string describeName(const char* field12);
std::string describePoint(const PointRecord* p);
std::string describeHeader(const FeatureHeader* h);

}  // namespace dz
