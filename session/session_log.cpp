#include "session/session_log.h"

#include "base/fixed_field.h"
#include "base/json.h"
#include "ui/message_service.h"

namespace dz::session {

ControlState ReadControlState(const ui::DialogWindow& window, int id) {
  ControlState s;
  s.id = id;
  const ui::ControlClass cls = window.ItemClass(id);
  s.text = window.GetItemText(id);
  s.enabled = window.IsItemEnabled(id);
  if (cls == ui::ControlClass::Edit) s.readOnly = window.IsReadOnly(id);
  if (cls == ui::ControlClass::Button) s.checked = window.IsButtonChecked(id);
  if (cls == ui::ControlClass::ComboBox || cls == ui::ControlClass::ListBox) {
    s.hasItems = true;
    const int count = window.GetCount(id);
    for (int i = 0; i < count; ++i) {
      std::string item;
      window.GetItemString(id, i, item);
      s.items.push_back(item);
    }
    s.selected = window.GetCurSel(id);
  }
  return s;
}

std::string AnswerWord(int answer) {
  switch (answer) {
    case ui::kIdOk: return "ok";
    case ui::kIdYes: return "yes";
    case ui::kIdNo: return "no";
    case ui::kIdCancel: return "cancel";
    default: return std::to_string(answer);
  }
}

std::string LogDialogOpened(int templateId) { return "dialog " + std::to_string(templateId) + " opened"; }

std::string LogDialogClosed(int templateId, int result) {
  return "dialog " + std::to_string(templateId) + " closed " + std::to_string(result);
}

std::string LogMessageBox(const std::string& gbkText, int answer) {
  return "msgbox " + dz::jsonQuoteGbk(gbkText) + " -> " + AnswerWord(answer);
}

std::string LogControl(const ControlState& s) {
  std::string line = "control " + std::to_string(s.id) + " text=" + dz::jsonQuoteGbk(s.text) +
                     " enabled=" + (s.enabled ? "1" : "0") + " readonly=" + (s.readOnly ? "1" : "0") +
                     " checked=" + std::to_string(s.checked);
  if (s.hasItems) {
    line += " items=[";
    for (size_t i = 0; i < s.items.size(); ++i) line += (i ? "," : "") + dz::jsonQuoteGbk(s.items[i]);
    line += "] selected=" + std::to_string(s.selected);
  }
  return line;
}

std::string LogName(const char* name12) {
  return "name " + dz::jsonQuoteGbk(dz::nameText(name12)) + " hex=" + dz::hexBytes(name12, dz::kNameWidth);
}

}  // namespace dz::session
