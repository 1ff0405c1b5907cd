#include "res/rc_writer.h"

#include <cstdio>

#include "base/gbk.h"
#include "ui/win_constants.h"

namespace dz::res {
namespace {

using ui::ControlClass;
using ui::ControlTemplate;
using ui::DialogTemplate;

struct Flag {
  uint32_t bits;
  const char* name;
};

const Flag kWindowFlags[] = {
    {ui::kWsChild, "WS_CHILD"},     {ui::kWsVisible, "WS_VISIBLE"}, {ui::kWsDisabled, "WS_DISABLED"},
    {ui::kWsBorder, "WS_BORDER"},   {ui::kWsVScroll, "WS_VSCROLL"}, {ui::kWsHScroll, "WS_HSCROLL"},
    {ui::kWsGroup, "WS_GROUP"},     {ui::kWsTabStop, "WS_TABSTOP"},
};

const Flag kDialogFlags[] = {
    {ui::kDsModalFrame, "DS_MODALFRAME"}, {ui::kWsPopup, "WS_POPUP"}, {ui::kWsCaption, "WS_CAPTION"},
    {ui::kWsSysMenu, "WS_SYSMENU"},
};

const Flag kEditFlags[] = {{ui::kEsAutoHScroll, "ES_AUTOHSCROLL"}, {ui::kEsReadOnly, "ES_READONLY"}};
const Flag kStaticFlags[] = {{ui::kSsCenterImage, "SS_CENTERIMAGE"}};
const Flag kComboFlags[] = {{ui::kCbsSort, "CBS_SORT"}};
const Flag kListFlags[] = {{ui::kLbsNotify, "LBS_NOTIFY"}, {ui::kLbsSort, "LBS_SORT"}};

const char* buttonTypeName(uint32_t type) {
  switch (type) {
    case ui::kBsPushButton: return "BS_PUSHBUTTON";
    case ui::kBsDefPushButton: return "BS_DEFPUSHBUTTON";
    case ui::kBsCheckBox: return "BS_CHECKBOX";
    case ui::kBsAutoCheckBox: return "BS_AUTOCHECKBOX";
    case ui::kBsRadioButton: return "BS_RADIOBUTTON";
    case ui::kBs3State: return "BS_3STATE";
    case ui::kBsAuto3State: return "BS_AUTO3STATE";
    case ui::kBsGroupBox: return "BS_GROUPBOX";
    case ui::kBsAutoRadioButton: return "BS_AUTORADIOBUTTON";
    default: return nullptr;
  }
}

std::string hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(v));
  return buffer;
}

std::string hex4(unsigned v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%04X", v);
  return buffer;
}

std::string quote(const std::string& gbk) {
  std::string out = "\"";
  for (char c : dz::gbkToUtf8(gbk)) {
    if (c == '"') out += "\"\"";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out + "\"";
}

std::string idText(int id) { return id == ui::kStaticId ? "IDC_STATIC" : std::to_string(id); }

std::string rectText(const ControlTemplate& c) {
  return std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.cx) + ", " + std::to_string(c.cy);
}

// A style as an expression: the names of its bits (in table order), any bits
// without a name in hex, then NOT for the bits the statement adds unasked.
class StyleExpression {
 public:
  explicit StyleExpression(uint32_t style) : rest_(style) {}

  void name(const char* n) { parts_.push_back(n); }
  void take(uint32_t bits, const char* n) {
    if (bits && (rest_ & bits) == bits) {
      parts_.push_back(n);
      rest_ &= ~bits;
    }
  }
  template <size_t N>
  void take(const Flag (&flags)[N]) {
    for (const Flag& f : flags) take(f.bits, f.name);
  }
  void drop(uint32_t bits) { rest_ &= ~bits; }
  void notUnless(uint32_t style, uint32_t bits, const char* n) {
    if (!(style & bits)) nots_.push_back(n);
  }

  std::string text() {
    std::string out;
    for (const std::string& p : parts_) out += (out.empty() ? "" : " | ") + p;
    if (rest_) out += (out.empty() ? "" : " | ") + hex(rest_);
    for (const std::string& n : nots_) out += (out.empty() ? "NOT " : " | NOT ") + n;
    return out;
  }

 private:
  uint32_t rest_;
  std::vector<std::string> parts_;
  std::vector<std::string> nots_;
};

std::string padded(const std::string& statement) {
  return "    " + statement + std::string(statement.size() < 16 ? 16 - statement.size() : 1, ' ');
}

std::string controlLine(const ControlTemplate& c) {
  const uint32_t s = c.style;
  StyleExpression e(s);
  e.drop(ui::kWsChild | ui::kWsVisible);  // every statement adds these
  std::string statement;
  std::string head;  // what stands between the statement and the style

  auto textIdRect = [&] { return quote(c.text) + ", " + idText(c.id) + ", " + rectText(c); };
  auto idRect = [&] { return idText(c.id) + ", " + rectText(c); };
  auto genericControl = [&](const char* classOrdinal) {
    StyleExpression g(s);
    statement = "CONTROL";
    head = quote(c.text) + ", " + idText(c.id) + ", " + classOrdinal + ", ";
    return g;
  };

  switch (c.cls) {
    case ControlClass::Static:
      if ((s & ui::kSsTypeMask) == ui::kSsLeft) {
        statement = "LTEXT";
        head = textIdRect();
        e.take(kStaticFlags);
        e.take(kWindowFlags);
        e.notUnless(s, ui::kWsGroup, "WS_GROUP");
      } else {
        e = genericControl("0x0082");
        e.take(ui::kSsEtchedHorz, "SS_ETCHEDHORZ");
        e.take(kStaticFlags);
        e.take(kWindowFlags);
        return padded(statement) + head + e.text() + ", " + rectText(c);
      }
      break;
    case ControlClass::Edit:
      statement = "EDITTEXT";
      head = idRect();
      e.take(kEditFlags);
      e.take(kWindowFlags);
      e.notUnless(s, ui::kWsBorder, "WS_BORDER");
      e.notUnless(s, ui::kWsTabStop, "WS_TABSTOP");
      break;
    case ControlClass::Button: {
      const uint32_t type = s & ui::kBsTypeMask;
      const char* name = nullptr;
      switch (type) {
        case ui::kBsPushButton: name = "PUSHBUTTON"; break;
        case ui::kBsDefPushButton: name = "DEFPUSHBUTTON"; break;
        case ui::kBsAutoCheckBox: name = "AUTOCHECKBOX"; break;
        case ui::kBsAutoRadioButton: name = "AUTORADIOBUTTON"; break;
        case ui::kBsGroupBox: name = "GROUPBOX"; break;
        default: break;
      }
      if (!name) {
        e = genericControl("0x0080");
        if (const char* typeName = buttonTypeName(type)) e.name(typeName);
        e.drop(ui::kBsTypeMask);
        e.take(kWindowFlags);
        return padded(statement) + head + e.text() + ", " + rectText(c);
      }
      statement = name;
      head = textIdRect();
      e.drop(ui::kBsTypeMask);
      e.take(kWindowFlags);
      if (type != ui::kBsGroupBox) e.notUnless(s, ui::kWsTabStop, "WS_TABSTOP");
      break;
    }
    case ControlClass::ComboBox:
      statement = "COMBOBOX";
      head = idRect();
      e.take(ui::kCbsDropDownList, "CBS_DROPDOWNLIST");
      e.take(ui::kCbsDropDown, "CBS_DROPDOWN");
      e.take(kComboFlags);
      e.take(kWindowFlags);
      e.notUnless(s, ui::kWsTabStop, "WS_TABSTOP");
      break;
    case ControlClass::ListBox:
      statement = "LISTBOX";
      head = idRect();
      e.take(kListFlags);
      e.take(kWindowFlags);
      e.notUnless(s, ui::kLbsNotify, "LBS_NOTIFY");
      e.notUnless(s, ui::kWsBorder, "WS_BORDER");
      break;
  }
  std::string line = padded(statement) + head;
  const std::string style = e.text();
  if (!style.empty()) line += ", " + style;
  return line;
}

std::string languageLine(uint16_t language) {
  if (language == ui::kLangChinesePrc) return "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED";
  return "LANGUAGE " + hex(language & 0x3FFu) + ", " + hex(language >> 10);
}

std::string dialogStyle(uint32_t style) {
  StyleExpression e(style);
  for (const Flag& f : kDialogFlags) e.take(f.bits, f.name);
  e.drop(ui::kDsSetFont);  // the FONT statement sets it
  return e.text();
}

void writeDialog(const DialogTemplate& d, std::string& out) {
  out += languageLine(d.language) + "\n";
  out += std::to_string(d.id) + " DIALOGEX 0, 0, " + std::to_string(d.cx) + ", " + std::to_string(d.cy) + "\n";
  out += "STYLE " + dialogStyle(d.style) + "\n";
  out += "CAPTION " + quote(d.caption) + "\n";
  out += "FONT " + std::to_string(d.pointSize) + ", " + quote(d.fontFace) + ", 0, 0, " + hex(d.charset) + "\n";
  out += "BEGIN\n";
  for (const ControlTemplate& c : d.controls) out += controlLine(c) + "\n";
  out += "END\n\n";
}

// One item of the initialisation data: control, message, length, then the
// GBK text with its zero as 16-bit words (little-endian), an odd last byte
// (always the zero) as a one-byte string.
std::string dlgInitItem(int controlId, uint16_t message, const std::string& gbk) {
  std::string bytes = gbk;
  bytes.push_back('\0');
  std::string line = "    " + std::to_string(controlId) + ", " + hex4(message) + ", " + std::to_string(bytes.size()) + "L";
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2)
    line += ", " + hex4(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  if (i < bytes.size()) line += ", \"\\0\"";
  return line + ",  // " + dz::gbkToUtf8(gbk);
}

void writeDlgInit(const DialogTemplate& d, std::string& out) {
  if (d.lists.empty()) return;
  out += languageLine(d.language) + "\n";
  out += std::to_string(d.id) + " " + std::to_string(ui::kRtDlgInit) + "  // RT_DLGINIT\n";
  out += "BEGIN\n";
  for (const ui::ListInitialisation& list : d.lists) {
    const ControlTemplate* box = nullptr;
    for (const ControlTemplate& c : d.controls)
      if (c.id == list.controlId) box = &c;
    const uint16_t message =
        box && box->cls == ControlClass::ListBox ? ui::kDlgInitListAddString : ui::kDlgInitComboAddString;
    for (const std::string& item : list.items) out += dlgInitItem(list.controlId, message, item) + "\n";
  }
  out += "    0\n";
  out += "END\n\n";
}

}  // namespace

std::string WriteDialogResourceScript(const std::vector<DialogTemplate>& templates) {
  std::string out =
      "#pragma code_page(65001)\n"
      "// The plug-in's dialogs and their list initialisations. Generated by\n"
      "// tools/gen_dialog_rc from res/dialog_templates.cpp: do not edit; after a\n"
      "// change there run `cmake --build build/native --target regen_dialog_rc`.\n"
      "#include <windows.h>\n"
      "\n"
      "#ifndef IDC_STATIC\n"
      "#define IDC_STATIC (-1)\n"
      "#endif\n"
      "\n";
  for (const DialogTemplate& d : templates) writeDialog(d, out);
  for (const DialogTemplate& d : templates) writeDlgInit(d, out);
  return out;
}

}  // namespace dz::res
