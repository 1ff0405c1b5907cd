// The entry points of the five commands the host calls by ordinal (the table
// of session/command_table.h: ordinal, dialog, arguments). Each runs to its
// end inside the call, in the command frame, and returns nothing.
#pragma once

#include "host/host_library.h"
#include "host/callconv.h"

extern "C" {
// 10: the CASS conversion: dialog 1002, then the converter.
void DZ_CALLCONV CmdConvertCass();
// 20: the same as 10 (its older request, point 1 and prefix "X", is a fresh
// converter's state).
void DZ_CALLCONV CmdConvertCassLegacy();
// 30: the EPSW conversion: dialog 1003, whose confirm handler converts.
void DZ_CALLCONV CmdConvertEpsw();
// 40: attribute attachment on the host's open file (low 16 bits of handle):
// dialog 2004, whose confirm handler attaches and saves.
void DZ_CALLCONV CmdAttachAttributes(int handle);
// 50: points from a text file into the host's open file (low 16 bits of
// handle), in dialog 4052; `name12` is the host's point name, 12 bytes read
// on entry and written on exit with strncpy semantics.
void DZ_CALLCONV CmdReadTextPoints(int handle, char* name12);
}

namespace dz::module {

// A host file handle travels in a 32-bit argument of which only the low 16
// bits count.
QelHandle HandleFromArgument(int argument);

// Calls the entry point of `ordinal` with the arguments it takes; false when
// there is no such command.
bool InvokeCommand(int ordinal, int handle, char* name12);

}  // namespace dz::module
