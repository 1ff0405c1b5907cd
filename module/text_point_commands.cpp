// Command 50: the text data dialog on the host's open file, from the host's
// point name, which goes back to the host when the dialog has closed.
#include "base/fixed_field.h"
#include "module/command_work.h"
#include "textpoints/text_data_dlg.h"

namespace dz::module {

void ReadTextPointsWork(ModuleContext& context, QelHandle file, char* pointName) {
  CTextDataDlg dialog(HostOf(context), MessagesOf(context), nullptr);
  dialog.m_importer.m_hFile = file;
  copyFieldFrom(dialog.m_importer.m_szPointName, kNameWidth, pointName);
  // The dialog never ends with IDOK: its "数据录入" imports and stays open.
  if (dialog.DoModal() != ui::kIdOk) copyFieldFrom(pointName, kNameWidth, dialog.m_importer.m_szPointName);
}

}  // namespace dz::module
