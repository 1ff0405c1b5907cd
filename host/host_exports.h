// The C interface of the host's two libraries, QelBlk60.dll and QelCore60.dll,
// as the plug-in imports it (by ordinal only: the names below are for the
// linker) and as the stand-in libraries export it. Handles travel as 16-bit
// values in 32-bit argument slots.
#pragma once

#include <cstdint>

#include "host/callconv.h"
#include "host/records.h"

extern "C" {

// QelBlk60
int16_t DZ_CALLCONV QelBlk60_OpenFeatureFile(const char* path);
int DZ_CALLCONV QelBlk60_GetFeatureFileInfo(int16_t file, dz::FileInfo* info);
int16_t DZ_CALLCONV QelBlk60_AddPoint(int16_t file, const dz::PointRecord* point, int count);
int DZ_CALLCONV QelBlk60_PointExists(int16_t file, const char* name);
int DZ_CALLCONV QelBlk60_GetPoint(int16_t file, const char* name, dz::PointRecord* point);
int DZ_CALLCONV QelBlk60_UpdatePoint(int16_t file, const char* name, const dz::PointRecord* point);
int DZ_CALLCONV QelBlk60_GetPointXY(int16_t file, const char* name, double* first, double* second);
int DZ_CALLCONV QelBlk60_AddFeature(int16_t file, const dz::FeatureHeader* header, const dz::PointRef* refs, int count,
                                    const void* attributes, int length);
int DZ_CALLCONV QelBlk60_GetFeatureCount(int16_t file, int* count);
int16_t DZ_CALLCONV QelBlk60_GetFeature(int16_t file, int index, dz::FeatureHeader* header, const dz::PointRef** refs,
                                        int16_t* refCount, const uint8_t** attributes, int* length);
int DZ_CALLCONV QelBlk60_SetFeatureAttributes(int16_t file, int index, int16_t kind, const void* attributes,
                                              int length);
int DZ_CALLCONV QelBlk60_PrepareSaveAs(int16_t file);
int DZ_CALLCONV QelBlk60_SaveFeatureFileAs(int16_t file, const char* path);
int DZ_CALLCONV QelBlk60_CommitFeatureFile(int16_t file);
int DZ_CALLCONV QelBlk60_CloseFeatureFile(int16_t file);
int16_t DZ_CALLCONV QelBlk60_GetTextLayer(int16_t file);

// QelCore60
const uint8_t* DZ_CALLCONV QelCore60_GetHostInfo(int zero);
int DZ_CALLCONV QelCore60_AddTextObject(int16_t layer, const double* anchor, const char* text, int length,
                                        const dz::TextStyle* style, int mode);
int16_t DZ_CALLCONV QelCore60_GetObjectAttributes(int16_t layer, int object, void** a, void** b);
int DZ_CALLCONV QelCore60_SetAttributeField(void* b, void* a, const char* field, const char* value);
int DZ_CALLCONV QelCore60_WriteObjectAttributes(int16_t layer, int one, int object, void* a, void* b);
int16_t DZ_CALLCONV QelCore60_PointInPolygon(const double* pairs, int count, const double* point);

}  // extern "C"

// Each operation with its library and ordinal: the one table the .def files,
// the stand-in libraries and the tests of the built DLLs are checked against.
struct HostExport {
  const char* library;  // "QelBlk60" or "QelCore60"
  const char* name;     // the operation, as HostLibrary names it
  int ordinal;
};

inline constexpr HostExport kHostExports[] = {
    {"QelBlk60", "OpenFeatureFile", 9},      {"QelBlk60", "CommitFeatureFile", 11},
    {"QelBlk60", "SaveFeatureFileAs", 12},   {"QelBlk60", "CloseFeatureFile", 13},
    {"QelBlk60", "GetFeatureFileInfo", 16},  {"QelBlk60", "AddPoint", 20},
    {"QelBlk60", "PointExists", 22},         {"QelBlk60", "GetPoint", 23},
    {"QelBlk60", "GetPointXY", 24},          {"QelBlk60", "UpdatePoint", 34},
    {"QelBlk60", "AddFeature", 60},          {"QelBlk60", "GetFeatureCount", 61},
    {"QelBlk60", "GetFeature", 65},          {"QelBlk60", "SetFeatureAttributes", 75},
    {"QelBlk60", "PrepareSaveAs", 85},       {"QelBlk60", "GetTextLayer", 90},
    {"QelCore60", "GetObjectAttributes", 116}, {"QelCore60", "WriteObjectAttributes", 121},
    {"QelCore60", "SetAttributeField", 205}, {"QelCore60", "GetHostInfo", 226},
    {"QelCore60", "PointInPolygon", 250},    {"QelCore60", "AddTextObject", 1559},
};
