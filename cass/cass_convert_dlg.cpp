#include "cass/cass_convert_dlg.h"

#include "cass/cass_convert_ids.h"
#include "ui/file_dialog.h"

namespace dz {

CCassConvertDlg::CCassConvertDlg(ui::Dialog* parent) : ui::Dialog(IDD_CASS_CONVERT, parent) {}

CCassConvertDlg::~CCassConvertDlg() = default;

void CCassConvertDlg::DoDataExchange(ui::DataExchange* pDX) {
  ui::Dialog::DoDataExchange(pDX);
  ui::DDX_Path(pDX, IDC_CASS_QS_PATH, m_strQsPath);
  ui::DDX_Path(pDX, IDC_CASS_OUTPUT_PATH, m_strOutputPath);
  ui::DDX_Path(pDX, IDC_CASS_PARCEL_PATH, m_strParcelPath);
  ui::DDX_Path(pDX, IDC_CASS_CAS_PATH, m_strCasPath);
}

const ui::MessageMap& CCassConvertDlg::GetMessageMap() const {
  using H = ui::Handler<CCassConvertDlg>;
  static const ui::MessageMap map{
      H{IDC_CASS_BROWSE_QS, ui::kBnClicked, &CCassConvertDlg::OnBrowseQs},
      H{IDC_CASS_BROWSE_PARCEL, ui::kBnClicked, &CCassConvertDlg::OnBrowseParcel},
      H{IDC_CASS_BROWSE_OUTPUT, ui::kBnClicked, &CCassConvertDlg::OnBrowseOutput},
      H{IDC_CASS_BROWSE_CAS, ui::kBnClicked, &CCassConvertDlg::OnBrowseCas},
  };
  return map;
}

bool CCassConvertDlg::Browse(bool open, const char* filter, std::string& member, bool hostExtension) {
  // Every box is rewritten from the members: text typed into another box
  // without its Browse button gives way to that box's member.
  return ui::BrowseIntoMember(*this, open, filter, member, hostExtension);
}

void CCassConvertDlg::OnBrowseQs() { Browse(true, "(*.qs)|*.qs||", m_strQsPath); }

void CCassConvertDlg::OnBrowseParcel() { Browse(true, "(*.txt)|*.txt||", m_strParcelPath); }

void CCassConvertDlg::OnBrowseOutput() { Browse(false, "data files(*.qel)|*qel||", m_strOutputPath, true); }

void CCassConvertDlg::OnBrowseCas() { Browse(false, "data files(*.cas)|*cas||", m_strCasPath); }

void CCassConvertDlg::OnOK() {
  // The check reads the members, not the boxes: a path typed without its
  // Browse button counts only once the check has passed.
  if (m_strCasPath.empty() || m_strOutputPath.empty() || m_strParcelPath.empty() || m_strQsPath.empty()) {
    MessageBox("请将信息完整的输入！！！");
    return;
  }
  ui::Dialog::OnOK();
}

}  // namespace dz
