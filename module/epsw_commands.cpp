// Command 30: the EPSW conversion dialog, which converts in its confirm
// handler.
#include "epsw/epsw_convert_dlg.h"
#include "module/command_work.h"

namespace dz::module {

void ConvertEpswWork(ModuleContext& context) {
  CEpswConvertDlg dialog(HostOf(context), MessagesOf(context), nullptr);
  // Whatever the conversion achieved happened inside the dialog.
  dialog.DoModal();
}

}  // namespace dz::module
