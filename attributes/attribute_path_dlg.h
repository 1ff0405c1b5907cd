// The attribute path dialog: for each attribute category the user names the
// text file of its records, may give a parcel-number prefix, and may name a
// path under which the host's feature file is saved afterwards. "OK" runs
// the attachment on the file whose handle the dialog holds, then the save.
#pragma once

#include <string>

#include "attributes/attribute_attacher.h"
#include "host/host_library.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/message_service.h"

namespace dz {

class CAttributePathDlg : public ui::Dialog {
 public:
  static constexpr int kCategoryCount = CAttributeAttacher::kCategoryCount;

  CAttributePathDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent = nullptr);
  ~CAttributePathDlg() override;

  ui::CButton m_btnPrefix;       // check box 宗地号前缀
  ui::CComboBox m_cbCategory;    // the category list
  std::string m_strPath;         // the path shown for the current category
  std::string m_strPrefix;       // parcel-number prefix
  int m_bUsePrefix = 0;
  int m_bSaveFile = 0;           // the save controls are enabled
  std::string m_strSavePath;     // where the file is saved after the attachment
  QelHandle m_hFile = 0;         // the host file the attachment works on; set by the command
  std::string m_strCategoryPath[kCategoryCount];  // the file chosen for each category
  int m_nCategory = 0;           // the current category (0-8)

  // The text label 2038 takes for each category, in category order.
  static const char* const kCategoryLabels[kCategoryCount];

 protected:
  void DoDataExchange(ui::DataExchange* pDX) override;
  bool OnInitDialog() override;
  void OnOK() override;
  const ui::MessageMap& GetMessageMap() const override;

  void OnSelchangeCategory();
  void OnBrowseAttributeFile();
  void OnBrowseSaveFile();
  void OnPrefixCheck();
  void OnSaveFileCheck();

 private:
  HostLibrary& m_host;
  ui::MessageService& m_messages;
};

}  // namespace dz
