// The calling convention of every function that crosses a DLL boundary: the
// plug-in's commands and the operations of the host's two libraries. Ordinals
// carry no decoration, so a mismatch would not fail at link time: keep it in
// this one place. The host calls plain C functions with the C calling
// convention (the caller cleans the stack).
#pragma once

#if defined(_WIN32)
#define DZ_CALLCONV __cdecl
#else
#define DZ_CALLCONV
#endif
