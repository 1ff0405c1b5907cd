// Command 40: the attribute path dialog on the host's open file; its confirm
// handler attaches the attributes and saves the file when asked.
#include "attributes/attribute_path_dlg.h"
#include "module/command_work.h"

namespace dz::module {

void AttachAttributesWork(ModuleContext& context, QelHandle file) {
  CAttributePathDlg dialog(HostOf(context), MessagesOf(context), nullptr);
  dialog.m_hFile = file;
  dialog.DoModal();
}

}  // namespace dz::module
