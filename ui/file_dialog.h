// The common file dialog, in the manner of the classic framework's
// CFileDialog: built with its mode, default extension, initial name, flags,
// filter and owner, run modally, and asked for the chosen path.
#pragma once

#include <string>

#include "ui/ui_services.h"
#include "ui/win_constants.h"

namespace dz::ui {

class FileDialog {
 public:
  FileDialog(bool openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
             unsigned flags = kOfnHideReadOnly | kOfnOverwritePrompt, const char* filter = nullptr,
             Dialog* parent = nullptr);

  // kIdOk when the user chose a file, kIdCancel otherwise (also when there
  // is no file dialog service).
  int DoModal();
  // The chosen file's full path; empty before a confirmed run.
  const std::string& GetPathName() const { return path_; }
  const FileDialogRequest& Request() const { return request_; }

 private:
  FileDialogRequest request_;
  UiServices* services_;
  std::string path_;
};

// Appends `extension` (".qel") to a chosen path unless that text occurs
// anywhere in it, case-sensitive: "D:\a\b" gets it, "D:\x.qel\b" does not,
// "D:\b.QEL" gets it after the capitals.
void AppendExtensionUnlessPresent(std::string& path, const char* extension);

// The Browse button of a path box: an open or save file dialog (flags 0x1004,
// no default extension, no initial name) owned by `dialog`; when the user
// chooses a file, `member` takes its path — with ".qel" appended unless
// present when `hostExtension` — and every box is rewritten from its member.
// A cancelled file dialog changes nothing. True when a file was chosen.
bool BrowseIntoMember(Dialog& dialog, bool open, const char* filter, std::string& member, bool hostExtension);

}  // namespace dz::ui
