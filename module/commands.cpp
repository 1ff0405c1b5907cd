#include "module/commands.h"

#include <cstdint>

#include "base/fixed_field.h"
#include "module/command_frame.h"
#include "module/command_work.h"
#include "session/command_table.h"

using dz::module::ModuleContext;
using dz::module::RunCommandFrame;

extern "C" {

void DZ_CALLCONV CmdConvertCass() {
  RunCommandFrame([](ModuleContext& context) { dz::module::ConvertCassWork(context); });
}

void DZ_CALLCONV CmdConvertCassLegacy() {
  RunCommandFrame([](ModuleContext& context) { dz::module::ConvertCassWork(context); });
}

void DZ_CALLCONV CmdConvertEpsw() {
  RunCommandFrame([](ModuleContext& context) { dz::module::ConvertEpswWork(context); });
}

void DZ_CALLCONV CmdAttachAttributes(int handle) {
  RunCommandFrame([handle](ModuleContext& context) {
    dz::module::AttachAttributesWork(context, dz::module::HandleFromArgument(handle));
  });
}

void DZ_CALLCONV CmdReadTextPoints(int handle, char* name12) {
  RunCommandFrame([handle, name12](ModuleContext& context) {
    // The name is taken up to its first zero byte and handed back in exactly
    // 12 bytes, zero-filled; a 12-byte name without a zero comes back as is.
    char pointName[dz::kNameWidth] = {};
    if (name12) dz::copyFieldFrom(pointName, dz::kNameWidth, name12);
    dz::module::ReadTextPointsWork(context, dz::module::HandleFromArgument(handle), pointName);
    if (name12) dz::copyFieldFrom(name12, dz::kNameWidth, pointName);
  });
}

}  // extern "C"

namespace dz::module {

QelHandle HandleFromArgument(int argument) {
  return static_cast<QelHandle>(static_cast<uint16_t>(static_cast<uint32_t>(argument) & 0xFFFFu));
}

namespace {

// The function behind each ordinal, as the .def file exports it.
void* entryPoint(int ordinal) {
  switch (ordinal) {
    case 10: return reinterpret_cast<void*>(&CmdConvertCass);
    case 20: return reinterpret_cast<void*>(&CmdConvertCassLegacy);
    case 30: return reinterpret_cast<void*>(&CmdConvertEpsw);
    case 40: return reinterpret_cast<void*>(&CmdAttachAttributes);
    case 50: return reinterpret_cast<void*>(&CmdReadTextPoints);
    default: return nullptr;
  }
}

}  // namespace

bool InvokeCommand(int ordinal, int handle, char* name12) {
  // Called as the host calls the exports: with the arguments the command
  // table gives the ordinal.
  const session::Command* command = session::FindCommand(ordinal);
  void* entry = entryPoint(ordinal);
  if (!command || !entry) return false;
  session::CallEntryPoint(*command, entry, handle, name12);
  return true;
}

}  // namespace dz::module
