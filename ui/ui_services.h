// What the dialog layer needs from a backend: modal dialogs, message boxes and
// file dialogs. A module makes its services current for the duration of a
// command (the module state); dialogs built during that time use them.
#pragma once

#include <string>

#include "ui/message_service.h"

namespace dz::ui {

class Dialog;

// One request for a common file dialog, as the classic framework's file
// dialog takes it.
struct FileDialogRequest {
  bool open = true;          // open, else save
  std::string defaultExt;    // empty: none
  std::string fileName;      // initial file name; empty: none
  unsigned flags = 0;        // kOfn... flags
  std::string filter;        // "text|pattern|...||", GBK
  int ownerTemplateId = 0;   // the dialog that owns it; 0 when none
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Runs the file dialog; returns kIdOk with the chosen path in `path`, or
  // kIdCancel (path untouched).
  virtual int ShowFileDialog(const FileDialogRequest& request, std::string& path) = 0;
};

class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  // Creates the dialog of template `templateId`, lets `dialog` initialise it
  // and handle the user's commands until it ends, and returns the value it
  // ended with; -1 when the dialog cannot be created.
  virtual int RunModal(int templateId, Dialog& dialog) = 0;
};

struct UiServices {
  DialogRunner* dialogs = nullptr;
  MessageService* messages = nullptr;
  FileDialogService* files = nullptr;
};

// The services current on this thread (null when none), and the scope that
// makes a set current and restores the previous one on every way out.
UiServices* CurrentServices();

class ServicesScope {
 public:
  explicit ServicesScope(UiServices* services);
  ~ServicesScope();
  ServicesScope(const ServicesScope&) = delete;
  ServicesScope& operator=(const ServicesScope&) = delete;

 private:
  UiServices* previous_;
};

}  // namespace dz::ui
