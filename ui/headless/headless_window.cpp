#include "ui/headless/headless_window.h"

#include "ui/message_service.h"

namespace dz::ui {
namespace {

uint32_t buttonType(uint32_t style) { return style & kBsTypeMask; }

bool isCheckBox(const ControlTemplate& t) { return t.cls == ControlClass::Button && IsCheckBoxStyle(t.style); }

bool isRadio(const ControlTemplate& t) { return t.cls == ControlClass::Button && IsRadioStyle(t.style); }

bool isThreeState(const ControlTemplate& t) {
  const uint32_t b = buttonType(t.style);
  return t.cls == ControlClass::Button && (b == kBs3State || b == kBsAuto3State);
}

bool isDropDownList(const ControlTemplate& t) {
  return t.cls == ControlClass::ComboBox && (t.style & kCbsTypeMask) == kCbsDropDownList;
}

bool hasList(const ControlTemplate& t) { return t.cls == ControlClass::ComboBox || t.cls == ControlClass::ListBox; }

bool isSorted(const ControlTemplate& t) {
  return (t.cls == ControlClass::ComboBox && (t.style & kCbsSort)) || (t.cls == ControlClass::ListBox && (t.style & kLbsSort));
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The order of sorted boxes: bytes, ASCII letters without regard to case.
int compareNoCase(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(asciiLower(a[i]));
    const unsigned char y = static_cast<unsigned char>(asciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

HeadlessWindow::HeadlessWindow(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {
  controls_.reserve(template_.controls.size());
  for (const ControlTemplate& t : template_.controls) {
    Control c;
    c.source = &t;
    c.text = hasList(t) ? std::string() : t.text;
    c.enabled = (t.style & kWsDisabled) == 0;
    c.readOnly = t.cls == ControlClass::Edit && (t.style & kEsReadOnly) != 0;
    controls_.push_back(std::move(c));
  }
}

HeadlessWindow::Control* HeadlessWindow::find(int id) {
  if (id == kStaticId) return nullptr;
  for (Control& c : controls_)
    if (c.source->id == id) return &c;
  return nullptr;
}

const HeadlessWindow::Control* HeadlessWindow::find(int id) const {
  return const_cast<HeadlessWindow*>(this)->find(id);
}

bool HeadlessWindow::startsGroup(size_t index) const {
  return index == 0 || (controls_[index].source->style & kWsGroup) != 0;
}

void HeadlessWindow::notify(int id, int code) {
  if (notify_) notify_(id, code);
}

ControlClass HeadlessWindow::ItemClass(int id) const {
  const Control* c = find(id);
  return c ? c->source->cls : ControlClass::Static;
}

uint32_t HeadlessWindow::ItemStyle(int id) const {
  const Control* c = find(id);
  if (!c) return 0;
  uint32_t style = c->source->style & ~(kWsDisabled | kEsReadOnly);
  if (!c->enabled) style |= kWsDisabled;
  if (c->readOnly) style |= kEsReadOnly;
  return style;
}

void HeadlessWindow::SetItemText(int id, const std::string& text) {
  Control* c = find(id);
  if (!c || isDropDownList(*c->source)) return;  // a drop-down list shows only its items
  c->text = text;
  c->allSelected = false;
}

std::string HeadlessWindow::GetItemText(int id) const {
  const Control* c = find(id);
  if (!c) return std::string();
  if (isDropDownList(*c->source))
    return c->curSel >= 0 ? c->items[static_cast<size_t>(c->curSel)] : std::string();
  if (c->source->cls == ControlClass::ListBox) return std::string();
  return c->text;
}

void HeadlessWindow::CheckButton(int id, int state) {
  Control* c = find(id);
  if (!c || !(isCheckBox(*c->source) || isRadio(*c->source))) return;  // push buttons keep no state
  const int maxState = isThreeState(*c->source) ? kBstIndeterminate : kBstChecked;
  if (state < 0) state = kBstUnchecked;
  c->check = state > maxState ? maxState : state;
}

int HeadlessWindow::IsButtonChecked(int id) const {
  const Control* c = find(id);
  return c ? c->check : 0;
}

void HeadlessWindow::EnableItem(int id, bool enable) {
  if (Control* c = find(id)) c->enabled = enable;
}

bool HeadlessWindow::IsItemEnabled(int id) const {
  const Control* c = find(id);
  return c && c->enabled;
}

void HeadlessWindow::SetFocusItem(int id) {
  if (find(id)) focus_ = id;
}

void HeadlessWindow::SetReadOnly(int id, bool readOnly) {
  Control* c = find(id);
  if (c && c->source->cls == ControlClass::Edit) c->readOnly = readOnly;
}

bool HeadlessWindow::IsReadOnly(int id) const {
  const Control* c = find(id);
  return c && c->readOnly;
}

void HeadlessWindow::SelectAllText(int id) {
  Control* c = find(id);
  if (c && c->source->cls == ControlClass::Edit) c->allSelected = true;
}

bool HeadlessWindow::IsTextAllSelected(int id) const {
  const Control* c = find(id);
  return c && c->allSelected;
}

int HeadlessWindow::AddString(int id, const std::string& text) {
  Control* c = find(id);
  if (!c || !hasList(*c->source)) return kCbErr;
  size_t at = c->items.size();
  if (isSorted(*c->source)) {
    at = 0;
    while (at < c->items.size() && compareNoCase(c->items[at], text) <= 0) ++at;
    if (c->curSel >= static_cast<int>(at)) ++c->curSel;
  }
  c->items.insert(c->items.begin() + static_cast<std::ptrdiff_t>(at), text);
  return static_cast<int>(at);
}

void HeadlessWindow::ResetContent(int id) {
  Control* c = find(id);
  if (!c || !hasList(*c->source)) return;
  c->items.clear();
  c->curSel = -1;
  if (c->source->cls == ControlClass::ComboBox) c->text.clear();
}

int HeadlessWindow::GetCount(int id) const {
  const Control* c = find(id);
  return c && hasList(*c->source) ? static_cast<int>(c->items.size()) : kCbErr;
}

int HeadlessWindow::GetCurSel(int id) const {
  const Control* c = find(id);
  return c && hasList(*c->source) ? c->curSel : kCbErr;
}

int HeadlessWindow::SetCurSel(int id, int index) {
  Control* c = find(id);
  if (!c || !hasList(*c->source)) return kCbErr;
  const bool inRange = index >= 0 && index < static_cast<int>(c->items.size());
  c->curSel = inRange ? index : -1;
  // The edit of a combo box shows the selected item, and nothing without one.
  if (c->source->cls == ControlClass::ComboBox) c->text = inRange ? c->items[static_cast<size_t>(index)] : std::string();
  return inRange ? index : kCbErr;
}

bool HeadlessWindow::GetItemString(int id, int index, std::string& text) const {
  const Control* c = find(id);
  if (!c || !hasList(*c->source) || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  text = c->items[static_cast<size_t>(index)];
  return true;
}

std::vector<int> HeadlessWindow::RadioGroup(int firstId) const {
  std::vector<int> ids;
  const Control* first = find(firstId);
  if (!first) return ids;
  for (size_t i = indexOf(*first); i < controls_.size(); ++i) {
    if (i != indexOf(*first) && (controls_[i].source->style & kWsGroup)) break;
    if (isRadio(*controls_[i].source)) ids.push_back(controls_[i].source->id);
  }
  return ids;
}

bool HeadlessWindow::ExecuteDlgInit() {
  for (const ListInitialisation& list : template_.lists)
    for (const std::string& item : list.items)
      if (AddString(list.controlId, item) < 0) return false;
  return true;
}

void HeadlessWindow::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

void HeadlessWindow::FocusFirstTabStop() {
  for (const Control& c : controls_)
    if ((c.source->style & kWsTabStop) && c.enabled) {
      focus_ = c.source->id;
      return;
    }
}

// --- The user ---------------------------------------------------------------

void HeadlessWindow::Type(int id, const std::string& text) {
  Control* c = find(id);
  if (!c) return;
  focus_ = id;
  c->text = text;
  c->allSelected = false;
  if (c->source->cls == ControlClass::Edit) {
    notify(id, kEnChange);
    return;
  }
  // Typing into a combo box whose list is closed leaves no item selected,
  // even one the text begins or equals, as Windows' combo box does; only
  // choosing from the list selects.
  c->curSel = -1;
  notify(id, kCbnEditChange);
}

void HeadlessWindow::Click(int id) {
  Control* c = find(id);
  if (!c) return;
  focus_ = id;
  const uint32_t type = buttonType(c->source->style);
  if (type == kBsAutoCheckBox) {
    c->check = c->check == kBstUnchecked ? kBstChecked : kBstUnchecked;
  } else if (type == kBsAuto3State) {
    c->check = (c->check + 1) % 3;
  } else if (type == kBsAutoRadioButton) {
    // The other automatic radio buttons of its group go out.
    size_t start = indexOf(*c);
    while (!startsGroup(start)) --start;
    for (size_t i = start; i < controls_.size(); ++i) {
      if (i != start && startsGroup(i)) break;
      if (buttonType(controls_[i].source->style) == kBsAutoRadioButton && controls_[i].source->cls == ControlClass::Button)
        controls_[i].check = kBstUnchecked;
    }
    c->check = kBstChecked;
  }
  notify(id, kBnClicked);
}

void HeadlessWindow::Check(int id, bool on) {
  const Control* c = find(id);
  if (c && (c->check != kBstUnchecked) != on) Click(id);
}

void HeadlessWindow::Select(int id, int index) {
  Control* c = find(id);
  if (!c) return;
  focus_ = id;
  SetCurSel(id, index);
  if (c->source->cls == ControlClass::ComboBox) notify(id, kCbnSelChange);
  else if (c->source->style & kLbsNotify) notify(id, kLbnSelChange);
}

}  // namespace dz::ui
