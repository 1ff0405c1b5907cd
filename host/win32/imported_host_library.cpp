#include "host/win32/imported_host_library.h"

#include "host/host_exports.h"

namespace dz {

QelHandle ImportedHostLibrary::OpenFeatureFile(const char* path) { return QelBlk60_OpenFeatureFile(path); }
int ImportedHostLibrary::GetFeatureFileInfo(QelHandle file, FileInfo* info) {
  return QelBlk60_GetFeatureFileInfo(file, info);
}
int16_t ImportedHostLibrary::AddPoint(QelHandle file, const PointRecord* point, int count) {
  return QelBlk60_AddPoint(file, point, count);
}
int ImportedHostLibrary::PointExists(QelHandle file, const char* name) { return QelBlk60_PointExists(file, name); }
int ImportedHostLibrary::GetPoint(QelHandle file, const char* name, PointRecord* point) {
  return QelBlk60_GetPoint(file, name, point);
}
int ImportedHostLibrary::UpdatePoint(QelHandle file, const char* name, const PointRecord* point) {
  return QelBlk60_UpdatePoint(file, name, point);
}
int ImportedHostLibrary::GetPointXY(QelHandle file, const char* name, double* first, double* second) {
  return QelBlk60_GetPointXY(file, name, first, second);
}
int ImportedHostLibrary::AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count,
                                    const void* attributes, int length) {
  return QelBlk60_AddFeature(file, header, refs, count, attributes, length);
}
int ImportedHostLibrary::GetFeatureCount(QelHandle file, int* count) { return QelBlk60_GetFeatureCount(file, count); }
int16_t ImportedHostLibrary::GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs,
                                        int16_t* refCount, const uint8_t** attributes, int* length) {
  return QelBlk60_GetFeature(file, index, header, refs, refCount, attributes, length);
}
int ImportedHostLibrary::SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes,
                                              int length) {
  return QelBlk60_SetFeatureAttributes(file, index, kind, attributes, length);
}
int ImportedHostLibrary::PrepareSaveAs(QelHandle file) { return QelBlk60_PrepareSaveAs(file); }
int ImportedHostLibrary::SaveFeatureFileAs(QelHandle file, const char* path) {
  return QelBlk60_SaveFeatureFileAs(file, path);
}
int ImportedHostLibrary::CommitFeatureFile(QelHandle file) { return QelBlk60_CommitFeatureFile(file); }
int ImportedHostLibrary::CloseFeatureFile(QelHandle file) { return QelBlk60_CloseFeatureFile(file); }
QelHandle ImportedHostLibrary::GetTextLayer(QelHandle file) { return QelBlk60_GetTextLayer(file); }
const uint8_t* ImportedHostLibrary::GetHostInfo(int zero) { return QelCore60_GetHostInfo(zero); }
int ImportedHostLibrary::AddTextObject(QelHandle layer, const double* anchor, const char* text, int length,
                                       const TextStyle* style, int mode) {
  return QelCore60_AddTextObject(layer, anchor, text, length, style, mode);
}
int16_t ImportedHostLibrary::GetObjectAttributes(QelHandle layer, int object, void** a, void** b) {
  return QelCore60_GetObjectAttributes(layer, object, a, b);
}
int ImportedHostLibrary::SetAttributeField(void* b, void* a, const char* field, const char* value) {
  return QelCore60_SetAttributeField(b, a, field, value);
}
int ImportedHostLibrary::WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) {
  return QelCore60_WriteObjectAttributes(layer, one, object, a, b);
}
int16_t ImportedHostLibrary::PointInPolygon(const double* pairs, int count, const double* point) {
  return QelCore60_PointInPolygon(pairs, count, point);
}

}  // namespace dz
