// The work that joins this library with the workers: the CASS converter
// behind commands 10 and 20, and commands 30, 40 and 50 with their dialogs
// (1003, 2004, 4052) and workers. Until then each is empty, and the command
// table marks commands 30, 40 and 50 as not available.
#include "module/command_work.h"

namespace dz::module {

void RunCassConverter(ModuleContext&, const CCassConvertDlg&) {}

void ConvertEpswWork(ModuleContext&) {}

void AttachAttributesWork(ModuleContext&, QelHandle) {}

void ReadTextPointsWork(ModuleContext&, QelHandle, char*) {}

}  // namespace dz::module
