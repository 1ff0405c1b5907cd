#include "ui/dialog.h"

#include <algorithm>
#include <stdexcept>

#include "ui/number_text.h"
#include "ui/path_text.h"

namespace dz::ui {
namespace {

// Thrown by DataExchange::Fail and caught by UpdateData: the user has been
// told already; it never leaves the framework.
struct ExchangeFailed {};

// Ends the backend's hold on a dialog's controls on every way out of a modal
// run.
class DestroyOnExit {
 public:
  explicit DestroyOnExit(Dialog& dialog) : dialog_(dialog) {}
  ~DestroyOnExit() { dialog_.HandleDestroy(); }

 private:
  Dialog& dialog_;
};

}  // namespace

const char kParseIntMessage[] = "请输入一个整数。";
const char kParseRealMessage[] = "请输入一个数字。";

CommandHandler MessageMap::Find(int id, int code) const {
  for (const Entry& e : entries_)
    if (e.id == id && e.code == code) return e.handler;
  return nullptr;
}

// --- Dialog -----------------------------------------------------------------

Dialog::Dialog(int templateId, Dialog* parent)
    : templateId_(templateId), parent_(parent), services_(CurrentServices()) {}

Dialog::~Dialog() {
  for (CWnd* control : bound_) {
    control->owner_ = nullptr;
    control->window_ = nullptr;
  }
}

int Dialog::DoModal() {
  if (!services_ || !services_->dialogs) return -1;
  return services_->dialogs->RunModal(templateId_, *this);
}

void Dialog::EndDialog(int result) {
  if (window_) window_->EndDialog(result);
}

bool Dialog::UpdateData(bool saveAndValidate) {
  if (!window_) return false;
  DataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const ExchangeFailed&) {
    return false;
  }
  return true;
}

int Dialog::MessageBox(const std::string& text, unsigned type) {
  if (!services_ || !services_->messages) return type == kMbYesNo ? kIdYes : kIdOk;
  return services_->messages->ShowMessage(text, type);
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
  if (window_) window_->SetItemText(id, text);
}

std::string Dialog::GetDlgItemText(int id) const { return window_ ? window_->GetItemText(id) : std::string(); }

void Dialog::EnableDlgItem(int id, bool enable) {
  if (window_) window_->EnableItem(id, enable);
}

void Dialog::CheckDlgButton(int id, int state) {
  if (window_) window_->CheckButton(id, state);
}

int Dialog::IsDlgButtonChecked(int id) const { return window_ ? window_->IsButtonChecked(id) : 0; }

void Dialog::SetDlgItemReadOnly(int id, bool readOnly) {
  if (window_) window_->SetReadOnly(id, readOnly);
}

bool Dialog::HandleInitDialog(DialogWindow& window) {
  window_ = &window;
  return OnInitDialog();
}

void Dialog::HandleCommand(int id, int code) {
  if (!window_) return;
  if (CommandHandler handler = GetMessageMap().Find(id, code)) {
    (this->*handler)();
    return;
  }
  if (code != kBnClicked) return;
  if (id == kIdOk) OnOK();
  else if (id == kIdCancel) OnCancel();
}

void Dialog::HandleClose() { HandleCommand(kIdCancel, kBnClicked); }

void Dialog::HandleDestroy() {
  for (CWnd* control : bound_) {
    control->owner_ = nullptr;
    control->window_ = nullptr;
  }
  bound_.clear();
  window_ = nullptr;
}

void Dialog::DoDataExchange(DataExchange*) {}

bool Dialog::OnInitDialog() {
  if (!window_->ExecuteDlgInit() || !UpdateData(false)) {
    EndDialog(-1);
    return false;
  }
  return true;
}

void Dialog::OnOK() {
  // A number box without a number keeps the dialog open, focus on that box.
  if (!UpdateData(true)) return;
  EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

const MessageMap& Dialog::GetMessageMap() const {
  static const MessageMap empty;
  return empty;
}

void Dialog::Bind(CWnd& control, int id) {
  control.owner_ = this;
  control.window_ = window_;
  control.id_ = id;
  bound_.push_back(&control);
}

void Dialog::Unbind(CWnd& control) { bound_.erase(std::remove(bound_.begin(), bound_.end(), &control), bound_.end()); }

// --- DataExchange -------------------------------------------------------------

DataExchange::DataExchange(Dialog* dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

DialogWindow& DataExchange::Window() const { return *m_pDlgWnd->Window(); }

int DataExchange::PrepareCtrl(int id) {
  if (!Window().HasItem(id))
    throw std::logic_error("dialog " + std::to_string(m_pDlgWnd->TemplateId()) + " has no control " + std::to_string(id));
  lastControl_ = id;
  hasLastControl_ = true;
  lastIsEdit_ = false;
  return id;
}

int DataExchange::PrepareEditCtrl(int id) {
  PrepareCtrl(id);
  lastIsEdit_ = true;
  return id;
}

void DataExchange::Fail() {
  if (m_bSaveAndValidate && hasLastControl_) {
    Window().SetFocusItem(lastControl_);
    if (lastIsEdit_) Window().SelectAllText(lastControl_);
  }
  throw ExchangeFailed{};
}

// --- Exchange helpers -------------------------------------------------------

void DDX_Text(DataExchange* pDX, int id, std::string& value) {
  pDX->PrepareEditCtrl(id);
  if (pDX->m_bSaveAndValidate) value = pDX->Window().GetItemText(id);
  else if (pDX->Window().GetItemText(id) != value) pDX->Window().SetItemText(id, value);
}

void DDX_Path(DataExchange* pDX, int id, std::string& path) {
  std::string text = PathToText(path);
  DDX_Text(pDX, id, text);
  if (pDX->m_bSaveAndValidate) path = TextToPath(text);
}

namespace {

// A number box: read back with `parse` (a box without a number shows
// `message` and stops the exchange), shown as `format` writes it.
template <typename T>
void exchangeNumber(DataExchange* pDX, int id, T& value, bool (*parse)(std::string_view, T&),
                    std::string (*format)(T), const char* message) {
  pDX->PrepareEditCtrl(id);
  if (pDX->m_bSaveAndValidate) {
    if (!parse(pDX->Window().GetItemText(id), value)) {
      pDX->m_pDlgWnd->MessageBox(message, kMbOk);
      pDX->Fail();
    }
  } else {
    const std::string text = format(value);
    if (pDX->Window().GetItemText(id) != text) pDX->Window().SetItemText(id, text);
  }
}

}  // namespace

void DDX_Text(DataExchange* pDX, int id, int& value) {
  exchangeNumber(pDX, id, value, &ParseExchangeInt, &FormatExchangeInt, kParseIntMessage);
}

void DDX_Text(DataExchange* pDX, int id, double& value) {
  exchangeNumber(pDX, id, value, &ParseExchangeDouble, &FormatExchangeDouble, kParseRealMessage);
}

void DDX_Check(DataExchange* pDX, int id, int& value) {
  pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate) {
    value = pDX->Window().IsButtonChecked(id);
  } else {
    // A state a check box cannot show is shown, and kept, as unchecked.
    if (value < kBstUnchecked || value > kBstIndeterminate) value = kBstUnchecked;
    pDX->Window().CheckButton(id, value);
  }
}

void DDX_Radio(DataExchange* pDX, int id, int& value) {
  pDX->PrepareCtrl(id);
  const std::vector<int> group = pDX->Window().RadioGroup(id);
  if (pDX->m_bSaveAndValidate) {
    value = -1;
    for (size_t i = 0; i < group.size(); ++i)
      if (pDX->Window().IsButtonChecked(group[i]) != 0) {
        value = static_cast<int>(i);
        break;
      }
  } else {
    for (size_t i = 0; i < group.size(); ++i)
      pDX->Window().CheckButton(group[i], static_cast<int>(i) == value ? kBstChecked : kBstUnchecked);
  }
}

void DDX_CBIndex(DataExchange* pDX, int id, int& index) {
  pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate) index = pDX->Window().GetCurSel(id);
  else pDX->Window().SetCurSel(id, index);
}

void DDX_LBIndex(DataExchange* pDX, int id, int& index) { DDX_CBIndex(pDX, id, index); }

void DDX_Control(DataExchange* pDX, int id, CWnd& control) {
  pDX->PrepareCtrl(id);
  // Bound once per opening, as a control is subclassed once.
  if (!control.IsBound()) pDX->m_pDlgWnd->Bind(control, id);
}

}  // namespace dz::ui
