// The stand-in QelCore60.dll: the host's core operations at their ordinals,
// forwarded to the engine inside the stand-in QelBlk60.dll so that text
// objects land in the files that library holds.
#include "host/host_exports.h"
#include "standin/win32/standin_extras.h"

extern "C" {

const uint8_t* DZ_CALLCONV QelCore60_GetHostInfo(int zero) { return Standin_GetHostInfo(zero); }
int DZ_CALLCONV QelCore60_AddTextObject(int16_t layer, const double* anchor, const char* text, int length,
                                        const dz::TextStyle* style, int mode) {
  return Standin_AddTextObject(layer, anchor, text, length, style, mode);
}
int16_t DZ_CALLCONV QelCore60_GetObjectAttributes(int16_t layer, int object, void** a, void** b) {
  return Standin_GetObjectAttributes(layer, object, a, b);
}
int DZ_CALLCONV QelCore60_SetAttributeField(void* b, void* a, const char* field, const char* value) {
  return Standin_SetAttributeField(b, a, field, value);
}
int DZ_CALLCONV QelCore60_WriteObjectAttributes(int16_t layer, int one, int object, void* a, void* b) {
  return Standin_WriteObjectAttributes(layer, one, object, a, b);
}
int16_t DZ_CALLCONV QelCore60_PointInPolygon(const double* pairs, int count, const double* point) {
  return Standin_PointInPolygon(pairs, count, point);
}

}  // extern "C"
