// Commands 10 and 20: the CASS conversion dialog, then the converter.
#include "cass/cass_convert_dlg.h"
#include "cass/cass_converter.h"
#include "module/command_work.h"

namespace dz::module {

void ConvertCassWork(ModuleContext& context) {
  CCassConvertDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kIdOk) return;
  RunCassConverter(context, dialog);
}

void RunCassConverter(ModuleContext& context, const CCassConvertDlg& dialog) {
  ui::MessageService& messages = MessagesOf(context);
  CCassConverter converter(HostOf(context), messages);
  converter.m_strQsPath = dialog.m_strQsPath;
  converter.m_strOutputPath = dialog.m_strOutputPath;
  converter.m_strParcelPath = dialog.m_strParcelPath;
  converter.m_strCasPath = dialog.m_strCasPath;
  // A run that failed has told its own message; announcing the end as well
  // would report the failure as a finished conversion.
  if (converter.Run()) messages.ShowMessage(CCassConverter::kConvertedMessage, ui::kMbOk);
}

}  // namespace dz::module
