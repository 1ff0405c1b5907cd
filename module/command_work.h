// The work of each command inside its frame. The commands' entries (in
// commands.cpp) only unpack their arguments and run these.
#pragma once

#include <stdexcept>

#include "host/host_library.h"
#include "module/module_state.h"
#include "ui/message_service.h"

namespace dz {
class CCassConvertDlg;
}  // namespace dz

namespace dz::module {

// Commands 10 and 20: the dialog, then the converter on confirmation.
void ConvertCassWork(ModuleContext& context);
// What the converter does with the confirmed dialog's four paths.
void RunCassConverter(ModuleContext& context, const CCassConvertDlg& dialog);

// Command 30: the EPSW dialog, whose confirm handler converts.
void ConvertEpswWork(ModuleContext& context);
// Command 40, on the host's file: the attribute path dialog, whose confirm
// handler attaches and saves.
void AttachAttributesWork(ModuleContext& context, QelHandle file);
// Command 50, on the host's file; `pointName` is the 12-byte name, in on
// entry, out at the end.
void ReadTextPointsWork(ModuleContext& context, QelHandle file, char* pointName);

// The host library and the message service of the attached module. A module
// attached without them cannot do any work: that is a fault of whoever
// loaded it, and the frame reports it.
inline HostLibrary& HostOf(ModuleContext& context) {
  if (!context.host) throw std::logic_error("the module was attached without a host library");
  return *context.host;
}

inline ui::MessageService& MessagesOf(ModuleContext& context) {
  if (!context.ui.messages) throw std::logic_error("the module was attached without a message service");
  return *context.ui.messages;
}

}  // namespace dz::module
