// The log of a played session: one event per line, texts as JSON strings in
// UTF-8. Every player formats its lines here, so the headless run and the
// run against real windows can be compared line by line.
//
//   dialog 1002 opened
//   msgbox "转换完毕！！" -> ok
//   control 1041 text="350.5" enabled=0 readonly=0 checked=0
//   control 1035 text="忽略" enabled=1 readonly=0 checked=0 items=["改点名","更新","忽略"] selected=2
//   dialog 1002 closed 1
//   name "K15" hex=4b3135000000000000000000
#pragma once

#include <string>
#include <vector>

#include "ui/dialog_window.h"

namespace dz::session {

// What `show` reports of a control.
struct ControlState {
  int id = 0;
  std::string text;  // GBK
  bool enabled = false;
  bool readOnly = false;  // edits only
  int checked = 0;        // buttons only
  bool hasItems = false;  // combo and list boxes
  std::vector<std::string> items;  // GBK
  int selected = -1;
};

// The state of control `id` of an open dialog, through the window interface.
ControlState ReadControlState(const ui::DialogWindow& window, int id);

// "ok", "yes", "no", "cancel", or the number.
std::string AnswerWord(int answer);

std::string LogDialogOpened(int templateId);
std::string LogDialogClosed(int templateId, int result);
std::string LogMessageBox(const std::string& gbkText, int answer);
std::string LogControl(const ControlState& state);
// The 12 bytes of a point-name buffer: its text up to the first zero byte,
// and every byte in hex.
std::string LogName(const char* name12);

}  // namespace dz::session
