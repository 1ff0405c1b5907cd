// Commands 10 and 20: the CASS conversion dialog, then the converter.
#include "cass/cass_convert_dlg.h"
#include "module/command_work.h"

namespace dz::module {

void ConvertCassWork(ModuleContext& context) {
  CCassConvertDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kIdOk) return;
  RunCassConverter(context, dialog);
}

}  // namespace dz::module
