// The operations of the host's two feature libraries, one method each, named
// and ordered as the host names them. Handles are 16-bit; positive results
// mean success. Implementations: the binding to the host's DLLs, the stand-in
// engine, and recording fakes in tests.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace dz {

using QelHandle = int16_t;  // file or text-layer handle

class HostLibrary {
 public:
  virtual ~HostLibrary() = default;

  // --- QelBlk60 ---
  // ord 9: handle, positive on success, 0 on failure.
  virtual QelHandle OpenFeatureFile(const char* path) = 0;
  // ord 16
  virtual int GetFeatureFileInfo(QelHandle file, FileInfo* info) = 0;
  // ord 20: `count` is always 1.
  virtual int16_t AddPoint(QelHandle file, const PointRecord* point, int count) = 0;
  // ord 22: positive if a point of that name exists, negative if not; never 0.
  virtual int PointExists(QelHandle file, const char* name) = 0;
  // ord 23: positive when found (and `point` filled), 0 or less otherwise.
  virtual int GetPoint(QelHandle file, const char* name, PointRecord* point) = 0;
  // ord 34
  virtual int UpdatePoint(QelHandle file, const char* name, const PointRecord* point) = 0;
  // ord 24: the point's first (north) and second (east) coordinates.
  virtual int GetPointXY(QelHandle file, const char* name, double* first, double* second) = 0;
  // ord 60
  virtual int AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count,
                         const void* attributes, int length) = 0;
  // ord 61: positive on success; features are numbered 1..count.
  virtual int GetFeatureCount(QelHandle file, int* count) = 0;
  // ord 65: the arrays handed out stay the library's; callers copy them and
  // never free them. They stay valid until the next change to that file.
  virtual int16_t GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs,
                             int16_t* refCount, const uint8_t** attributes, int* length) = 0;
  // ord 75
  virtual int SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes,
                                   int length) = 0;
  // ord 85, always right before SaveFeatureFileAs.
  virtual int PrepareSaveAs(QelHandle file) = 0;
  // ord 12
  virtual int SaveFeatureFileAs(QelHandle file, const char* path) = 0;
  // ord 11
  virtual int CommitFeatureFile(QelHandle file) = 0;
  // ord 13
  virtual int CloseFeatureFile(QelHandle file) = 0;
  // ord 90: text-layer handle, positive on success.
  virtual QelHandle GetTextLayer(QelHandle file) = 0;

  // --- QelCore60 ---
  // ord 226: the host information block; the host directory starts at byte
  // kHostInfoDirOffset, zero-terminated, without a trailing separator.
  virtual const uint8_t* GetHostInfo(int zero) = 0;
  // ord 1559: object number, positive on success. `mode` is always 2.
  virtual int AddTextObject(QelHandle layer, const double* anchor, const char* text, int length,
                            const TextStyle* style, int mode) = 0;
  // ord 116: A and B are opaque; callers pass them on and never free them.
  virtual int16_t GetObjectAttributes(QelHandle layer, int object, void** a, void** b) = 0;
  // ord 205
  virtual int SetAttributeField(void* b, void* a, const char* field, const char* value) = 0;
  // ord 121: `one` is always 1.
  virtual int WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) = 0;
  // ord 250: 2 strictly inside, 1 on the boundary, 0 outside. `pairs` holds
  // `count` vertices of two doubles each, in GetPointXY's order.
  virtual int16_t PointInPolygon(const double* pairs, int count, const double* point) = 0;
};

}  // namespace dz
