// The calling convention of the commands that the host calls by ordinal,
// held in this one macro: the export table, the host program that calls the
// commands and every declaration use it. A wrong convention is not caught at
// link time (ordinals carry no decoration), so it is never spelled anywhere
// else. Natively there is only one convention and the macro is empty.
#pragma once

#if defined(_WIN32)
#define DZ_CALLCONV __cdecl
#else
#define DZ_CALLCONV
#endif
