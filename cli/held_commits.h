// A HostLibrary that passes every call on but holds back the commits and
// the closes of committed files until the command has seen the warnings of
// the run: --strict then leaves the feature file as it was, for workers that
// commit their output themselves (cass, epsw).
#pragma once

#include <vector>

#include "host/host_library.h"

namespace dz::cli {

class HeldCommits : public HostLibrary {
 public:
  explicit HeldCommits(HostLibrary& inner) : inner_(inner) {}
  // Files still held are released unwritten.
  ~HeldCommits() override { release(false); }

  // Commits (when `write`) and closes the files whose commits were held.
  void release(bool write);

  QelHandle OpenFeatureFile(const char* path) override { return inner_.OpenFeatureFile(path); }
  int GetFeatureFileInfo(QelHandle file, FileInfo* info) override { return inner_.GetFeatureFileInfo(file, info); }
  int16_t AddPoint(QelHandle file, const PointRecord* point, int count) override {
    return inner_.AddPoint(file, point, count);
  }
  int PointExists(QelHandle file, const char* name) override { return inner_.PointExists(file, name); }
  int GetPoint(QelHandle file, const char* name, PointRecord* point) override {
    return inner_.GetPoint(file, name, point);
  }
  int UpdatePoint(QelHandle file, const char* name, const PointRecord* point) override {
    return inner_.UpdatePoint(file, name, point);
  }
  int GetPointXY(QelHandle file, const char* name, double* first, double* second) override {
    return inner_.GetPointXY(file, name, first, second);
  }
  int AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count, const void* attributes,
                 int length) override {
    return inner_.AddFeature(file, header, refs, count, attributes, length);
  }
  int GetFeatureCount(QelHandle file, int* count) override { return inner_.GetFeatureCount(file, count); }
  int16_t GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs, int16_t* refCount,
                     const uint8_t** attributes, int* length) override {
    return inner_.GetFeature(file, index, header, refs, refCount, attributes, length);
  }
  int SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes, int length) override {
    return inner_.SetFeatureAttributes(file, index, kind, attributes, length);
  }
  int PrepareSaveAs(QelHandle file) override { return inner_.PrepareSaveAs(file); }
  int SaveFeatureFileAs(QelHandle file, const char* path) override { return inner_.SaveFeatureFileAs(file, path); }
  int CommitFeatureFile(QelHandle file) override;
  int CloseFeatureFile(QelHandle file) override;
  QelHandle GetTextLayer(QelHandle file) override { return inner_.GetTextLayer(file); }
  const uint8_t* GetHostInfo(int zero) override { return inner_.GetHostInfo(zero); }
  int AddTextObject(QelHandle layer, const double* anchor, const char* text, int length, const TextStyle* style,
                    int mode) override {
    return inner_.AddTextObject(layer, anchor, text, length, style, mode);
  }
  int16_t GetObjectAttributes(QelHandle layer, int object, void** a, void** b) override {
    return inner_.GetObjectAttributes(layer, object, a, b);
  }
  int SetAttributeField(void* b, void* a, const char* field, const char* value) override {
    return inner_.SetAttributeField(b, a, field, value);
  }
  int WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) override {
    return inner_.WriteObjectAttributes(layer, one, object, a, b);
  }
  int16_t PointInPolygon(const double* pairs, int count, const double* point) override {
    return inner_.PointInPolygon(pairs, count, point);
  }

 private:
  struct Held {
    QelHandle file;
    bool closed;
  };

  HostLibrary& inner_;
  std::vector<Held> held_;
};

}  // namespace dz::cli
