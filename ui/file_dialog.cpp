#include "ui/file_dialog.h"

#include "ui/dialog.h"

namespace dz::ui {

FileDialog::FileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, unsigned flags,
                       const char* filter, Dialog* parent)
    : services_(parent && parent->Services() ? parent->Services() : CurrentServices()) {
  request_.open = openFileDialog;
  request_.defaultExt = defaultExt ? defaultExt : "";
  request_.fileName = fileName ? fileName : "";
  request_.flags = flags;
  request_.filter = filter ? filter : "";
  request_.ownerTemplateId = parent ? parent->TemplateId() : 0;
}

int FileDialog::DoModal() {
  if (!services_ || !services_->files) return kIdCancel;
  std::string chosen;
  const int result = services_->files->ShowFileDialog(request_, chosen);
  if (result != kIdOk) return kIdCancel;
  path_ = chosen;
  return kIdOk;
}

// An extension starts with '.', which is never the second byte of a GBK
// character, so a byte search finds exactly the whole-character matches in a
// GBK path, and works as well for a path in UTF-8, the narrow form of paths
// on other systems.
void AppendExtensionUnlessPresent(std::string& path, const char* extension) {
  if (path.find(extension) == std::string::npos) path += extension;
}

bool BrowseIntoMember(Dialog& dialog, bool open, const char* filter, std::string& member, bool hostExtension) {
  FileDialog fileDialog(open, nullptr, nullptr, kOfnHideReadOnly | kOfnFileMustExist, filter, &dialog);
  if (fileDialog.DoModal() != kIdOk) return false;
  member = fileDialog.GetPathName();
  // Before the boxes are rewritten, so that the box shows the path used.
  if (hostExtension) AppendExtensionUnlessPresent(member, ".qel");
  dialog.UpdateData(false);
  return true;
}

}  // namespace dz::ui
