// What the plug-in has open on the host's user-interface thread: its
// dialogs, message boxes and file dialogs, innermost last. qelhost learns it
// by wrapping the plug-in's imports of DialogBoxParamW, MessageBoxW,
// GetOpenFileNameW and GetSaveFileNameW: each wrapper notes the window as
// open, calls the real function and notes it closed. The wrappers also log
// what `dobrenz run` logs at the same moments: a dialog opened, a dialog
// closed with the value it ended with, a message box with the answer the
// plug-in received.
#pragma once

#include <windows.h>

#include "qelhost/critical_section.h"
#include <string>
#include <vector>

#include "qelhost/session_output.h"

namespace dz::qelhost {

struct ModalEntry {
  enum class Kind { Dialog, MessageBox, FileDialog };
  Kind kind = Kind::Dialog;
  int serial = 0;          // tells entries apart across time
  HWND owner = nullptr;
  int templateId = 0;      // Dialog
  std::wstring text;       // MessageBox: its text
  std::wstring caption;    // MessageBox: its title
  unsigned type = 0;       // MessageBox: MB_ flags
  bool open = true;        // FileDialog: open, else save
  unsigned flags = 0;      // FileDialog: OFN_ flags
  std::wstring filter;     // FileDialog: "text|pattern|...||" as the plug-in gave it
};

class ModalWatch {
 public:
  explicit ModalWatch(SessionOutput& output) : output_(output) {}

  // Wraps the imports of `plugin`; false (with `error`) when one of them is
  // missing from its import table.
  bool Install(HMODULE plugin, std::string& error);

  // The innermost open entry; false when nothing is open.
  bool Top(ModalEntry& entry) const;
  // The path the file dialog of entry `serial` handed the plug-in; empty
  // when it was cancelled or is still open.
  std::wstring ChosenPath(int serial) const;
  size_t Depth() const;

  // --- Called by the wrappers, on the user-interface thread. ---------------
  int Push(ModalEntry entry);
  void Pop(int serial);
  void Chose(int serial, std::wstring path);
  SessionOutput& Output() { return output_; }

 private:
  SessionOutput& output_;
  mutable CriticalSection lock_;
  std::vector<ModalEntry> open_;
  int nextSerial_ = 1;
  int chosenSerial_ = 0;
  std::wstring chosen_;
};

}  // namespace dz::qelhost
