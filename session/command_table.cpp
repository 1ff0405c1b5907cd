#include "session/command_table.h"

#include "host/callconv.h"

namespace dz::session {

void CallEntryPoint(const Command& command, void* entry, int handle, char* name12) {
  using Plain = void(DZ_CALLCONV*)();
  using WithHandle = void(DZ_CALLCONV*)(int);
  using WithHandleAndName = void(DZ_CALLCONV*)(int, char*);
  if (command.takesName) reinterpret_cast<WithHandleAndName>(entry)(handle, name12);
  else if (command.takesHandle) reinterpret_cast<WithHandle>(entry)(handle);
  else reinterpret_cast<Plain>(entry)();
}

}  // namespace dz::session
