// The work of each command inside its frame. The commands' entries (in
// commands.cpp) only unpack their arguments and run these.
#pragma once

#include "host/host_library.h"
#include "module/module_state.h"

class CCassConvertDlg;

namespace dz::module {

// Commands 10 and 20: the dialog, then the converter on confirmation.
void ConvertCassWork(ModuleContext& context);
// What the converter does with the confirmed dialog's four paths.
void RunCassConverter(ModuleContext& context, const CCassConvertDlg& dialog);

// Command 30.
void ConvertEpswWork(ModuleContext& context);
// Command 40, on the host's file.
void AttachAttributesWork(ModuleContext& context, QelHandle file);
// Command 50, on the host's file; `pointName` is the 12-byte name, in on
// entry, out at the end.
void ReadTextPointsWork(ModuleContext& context, QelHandle file, char* pointName);

}  // namespace dz::module
