// The CASS conversion dialog: the user names the .qs parcel boundary file,
// the parcel attribute text file, the CASS exchange file and the feature file
// to write, each with its Browse button. The dialog only collects the paths;
// the command hands them to the converter.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace dz {

class CCassConvertDlg : public ui::Dialog {
 public:
  explicit CCassConvertDlg(ui::Dialog* parent = nullptr);
  ~CCassConvertDlg() override;

  std::string m_strQsPath;
  std::string m_strOutputPath;
  std::string m_strParcelPath;
  std::string m_strCasPath;

 protected:
  void DoDataExchange(ui::DataExchange* pDX) override;
  void OnOK() override;
  const ui::MessageMap& GetMessageMap() const override;

  void OnBrowseQs();
  void OnBrowseParcel();
  void OnBrowseOutput();
  void OnBrowseCas();

 private:
  // Runs a file dialog; on confirmation stores its path in `member` (with the
  // host extension when asked) and shows the members. False on cancel.
  bool Browse(bool open, const char* filter, std::string& member, bool hostExtension = false);
};

}  // namespace dz
