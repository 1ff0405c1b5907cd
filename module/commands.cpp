#include "module/commands.h"

#include <cstdint>

#include "base/fixed_field.h"
#include "module/command_frame.h"
#include "module/command_work.h"

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

const std::vector<CommandInfo>& Commands() {
  static const std::vector<CommandInfo> commands = {
      {10, "CmdConvertCass", false, false, true},
      {20, "CmdConvertCassLegacy", false, false, true},
      {30, "CmdConvertEpsw", false, false, true},
      {40, "CmdAttachAttributes", true, false, true},
      {50, "CmdReadTextPoints", true, true, true},
  };
  return commands;
}

const CommandInfo* FindCommand(int ordinal) {
  for (const CommandInfo& c : Commands())
    if (c.ordinal == ordinal) return &c;
  return nullptr;
}

bool InvokeCommand(int ordinal, int handle, char* name12) {
  switch (ordinal) {
    case 10: CmdConvertCass(); return true;
    case 20: CmdConvertCassLegacy(); return true;
    case 30: CmdConvertEpsw(); return true;
    case 40: CmdAttachAttributes(handle); return true;
    case 50: CmdReadTextPoints(handle, name12); return true;
    default: return false;
  }
}

}  // namespace dz::module
