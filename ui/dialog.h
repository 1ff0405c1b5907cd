// The dialog framework: a modal dialog over a template, its data exchange and
// its handler table, in the manner of the classic framework's CDialog, so
// that every dialog of the plug-in reads like its description. The dialog
// talks to its controls only through a DialogWindow that the backend gives
// it while it is open.
#pragma once

#include <initializer_list>
#include <type_traits>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/dialog_window.h"
#include "ui/ui_services.h"

namespace dz::ui {

class DataExchange;

using CommandHandler = void (Dialog::*)();

// One entry of a dialog class's handler table, written with the class's own
// member functions.
template <typename T>
struct Handler {
  int id;
  int code;
  void (T::*handler)();
};

// The handler table of a dialog class: (control id, notification) → member.
class MessageMap {
 public:
  MessageMap() = default;
  template <typename T>
  MessageMap(std::initializer_list<Handler<T>> entries) {
    static_assert(std::is_base_of<Dialog, T>::value, "handlers of a dialog class");
    for (const Handler<T>& e : entries) entries_.push_back({e.id, e.code, static_cast<CommandHandler>(e.handler)});
  }

  // The handler of (id, code), or null.
  CommandHandler Find(int id, int code) const;

 private:
  struct Entry {
    int id;
    int code;
    CommandHandler handler;
  };
  std::vector<Entry> entries_;
};

class Dialog {
 public:
  // The services current when the dialog is built are the ones it uses.
  explicit Dialog(int templateId, Dialog* parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns the value EndDialog was given, or -1
  // when the dialog cannot be created (no services, no template).
  int DoModal();
  void EndDialog(int result);

  // Exchanges data between the members and the controls: from the controls
  // when `saveAndValidate`, else to them. False when a box held no valid
  // number: the user was told, the focus is on that box, and the members
  // exchanged before it have their new values.
  bool UpdateData(bool saveAndValidate = true);

  int TemplateId() const { return templateId_; }
  Dialog* Parent() const { return parent_; }
  UiServices* Services() const { return services_; }
  // The open dialog's controls; null while the dialog is not open.
  DialogWindow* Window() const { return window_; }

  // Message box through the dialog's services (AfxMessageBox).
  int MessageBox(const std::string& text, unsigned type = kMbOk);

  // Control helpers of the classic dialog, on the open dialog.
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  void EnableDlgItem(int id, bool enable);
  void CheckDlgButton(int id, int state);
  int IsDlgButtonChecked(int id) const;
  void SetDlgItemReadOnly(int id, bool readOnly);

  // --- Called by the backend ------------------------------------------------
  // WM_INITDIALOG: the dialog's controls exist; returns OnInitDialog's result.
  bool HandleInitDialog(DialogWindow& window);
  // WM_COMMAND: the handler table first; then IDOK → OnOK, IDCANCEL → OnCancel.
  void HandleCommand(int id, int code);
  // WM_CLOSE: the dialog manager's Cancel.
  void HandleClose();
  // The controls are gone: bound control objects come unbound.
  void HandleDestroy();

 protected:
  virtual void DoDataExchange(DataExchange* pDX);
  // Fills the lists from the template's initialisation data and shows the
  // members in the controls. True lets the dialog manager set the focus.
  virtual bool OnInitDialog();
  // Takes the controls into the members and ends the dialog with IDOK; stays
  // open when a number box holds no number.
  virtual void OnOK();
  // Ends the dialog with IDCANCEL.
  virtual void OnCancel();
  virtual const MessageMap& GetMessageMap() const;

 private:
  friend class CWnd;
  friend void DDX_Control(DataExchange* pDX, int id, CWnd& control);
  void Bind(CWnd& control, int id);
  void Unbind(CWnd& control);

  int templateId_;
  Dialog* parent_;
  UiServices* services_;
  DialogWindow* window_ = nullptr;
  std::vector<CWnd*> bound_;
};

// The state of one UpdateData call.
class DataExchange {
 public:
  DataExchange(Dialog* dialog, bool saveAndValidate);

  bool m_bSaveAndValidate;
  Dialog* m_pDlgWnd;

  DialogWindow& Window() const;
  // Notes the control the exchange is at (for Fail) and returns its id;
  // a control the dialog does not have is a programming error (logic_error).
  int PrepareCtrl(int id);
  int PrepareEditCtrl(int id);
  // Puts the focus on the last prepared control (its whole text selected
  // when it is an edit) and ends the exchange.
  [[noreturn]] void Fail();

 private:
  int lastControl_ = 0;
  bool hasLastControl_ = false;
  bool lastIsEdit_ = false;
};

// The framework's messages for a number box that holds no number.
extern const char kParseIntMessage[];
extern const char kParseRealMessage[];

// The exchange helpers.
void DDX_Text(DataExchange* pDX, int id, std::string& value);
void DDX_Text(DataExchange* pDX, int id, int& value);
void DDX_Text(DataExchange* pDX, int id, double& value);
// A path box: DDX_Text with the member in the platform's form of a path
// (ui/path_text.h); on Windows the two are the same.
void DDX_Path(DataExchange* pDX, int id, std::string& path);
void DDX_Check(DataExchange* pDX, int id, int& value);
void DDX_Radio(DataExchange* pDX, int id, int& value);
void DDX_CBIndex(DataExchange* pDX, int id, int& index);
void DDX_LBIndex(DataExchange* pDX, int id, int& index);
void DDX_Control(DataExchange* pDX, int id, CWnd& control);

}  // namespace dz::ui
