// HostLibrary over the host's own QelBlk60.dll and QelCore60.dll, imported by
// ordinal (Windows only).
#pragma once

#include "host/host_library.h"

namespace dz {

class ImportedHostLibrary : public HostLibrary {
 public:
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
};

}  // namespace dz
