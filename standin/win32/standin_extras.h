// Exports of the stand-in QelBlk60.dll beyond the host's own operations: the
// stand-in QelCore60.dll forwards to these so that both libraries work on one
// engine, and the test host reads the engine through them.
#pragma once

#include <cstdint>

#include "host/callconv.h"
#include "host/records.h"

extern "C" {
const uint8_t* DZ_CALLCONV Standin_GetHostInfo(int zero);
int DZ_CALLCONV Standin_AddTextObject(int16_t layer, const double* anchor, const char* text, int length,
                                      const dz::TextStyle* style, int mode);
int16_t DZ_CALLCONV Standin_GetObjectAttributes(int16_t layer, int object, void** a, void** b);
int DZ_CALLCONV Standin_SetAttributeField(void* b, void* a, const char* field, const char* value);
int DZ_CALLCONV Standin_WriteObjectAttributes(int16_t layer, int one, int object, void* a, void* b);
int16_t DZ_CALLCONV Standin_PointInPolygon(const double* pairs, int count, const double* point);

// The JSON dump of an open file (as `dobrenz dump` prints it), or null for an
// unknown handle. The text stays valid until the next call.
const char* DZ_CALLCONV Standin_DumpJson(int16_t file);
// Why the last open failed, and the problems met since the last call (one per
// line); valid until the next call.
const char* DZ_CALLCONV Standin_LastOpenError();
const char* DZ_CALLCONV Standin_TakeProblems();
}
