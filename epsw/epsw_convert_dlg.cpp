#include "epsw/epsw_convert_dlg.h"

#include "epsw/epsw_convert_ids.h"
#include "ui/file_dialog.h"

namespace dz {

CEpswConvertDlg::CEpswConvertDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent)
    : ui::Dialog(IDD_EPSW_CONVERT, parent), m_converter(host, messages) {}

CEpswConvertDlg::~CEpswConvertDlg() = default;

void CEpswConvertDlg::DoDataExchange(ui::DataExchange* pDX) {
  ui::Dialog::DoDataExchange(pDX);
  ui::DDX_Check(pDX, IDC_EPSW_NOT_CHECK, m_converter.m_bConvertNot);
  ui::DDX_Check(pDX, IDC_EPSW_COR_CHECK, m_converter.m_bConvertCor);
  ui::DDX_Path(pDX, IDC_EPSW_OUTPUT_PATH, m_converter.m_strOutputPath);
  ui::DDX_Path(pDX, IDC_EPSW_COR_PATH, m_converter.m_strCorPath);
  ui::DDX_Path(pDX, IDC_EPSW_NOT_PATH, m_converter.m_strNotPath);
}

const ui::MessageMap& CEpswConvertDlg::GetMessageMap() const {
  using H = ui::Handler<CEpswConvertDlg>;
  static const ui::MessageMap map{
      H{IDC_EPSW_COR_CHECK, ui::kBnClicked, &CEpswConvertDlg::OnCorCheck},
      H{IDC_EPSW_NOT_CHECK, ui::kBnClicked, &CEpswConvertDlg::OnNotCheck},
      H{IDC_EPSW_BROWSE_OUTPUT, ui::kBnClicked, &CEpswConvertDlg::OnBrowseOutput},
      H{IDC_EPSW_BROWSE_COR, ui::kBnClicked, &CEpswConvertDlg::OnBrowseCor},
      H{IDC_EPSW_BROWSE_NOT, ui::kBnClicked, &CEpswConvertDlg::OnBrowseNot},
  };
  return map;
}

bool CEpswConvertDlg::OnInitDialog() {
  if (!ui::Dialog::OnInitDialog()) return false;
  ShowFileChoice(m_converter.m_bConvertCor, IDC_EPSW_COR_PATH, IDC_EPSW_BROWSE_COR);
  ShowFileChoice(m_converter.m_bConvertNot, IDC_EPSW_NOT_PATH, IDC_EPSW_BROWSE_NOT);
  return true;
}

void CEpswConvertDlg::ShowFileChoice(int selected, int editId, int browseId) {
  SetDlgItemReadOnly(editId, selected == 0);
  EnableDlgItem(browseId, selected != 0);
}

// The toggles follow the clicks without reading the boxes; a cleared box
// keeps its path, which comes back into use when the box is set again.
void CEpswConvertDlg::OnCorCheck() {
  m_converter.m_bConvertCor = m_converter.m_bConvertCor == 0 ? 1 : 0;
  ShowFileChoice(m_converter.m_bConvertCor, IDC_EPSW_COR_PATH, IDC_EPSW_BROWSE_COR);
}

void CEpswConvertDlg::OnNotCheck() {
  m_converter.m_bConvertNot = m_converter.m_bConvertNot == 0 ? 1 : 0;
  ShowFileChoice(m_converter.m_bConvertNot, IDC_EPSW_NOT_PATH, IDC_EPSW_BROWSE_NOT);
}

bool CEpswConvertDlg::Browse(bool open, const char* filter, std::string& member, bool hostExtension) {
  // Every box is rewritten from the members: text typed into another box
  // without its Browse button gives way to that box's member.
  return ui::BrowseIntoMember(*this, open, filter, member, hostExtension);
}

void CEpswConvertDlg::OnBrowseOutput() {
  Browse(false, "data files(*.qel)|*qel||", m_converter.m_strOutputPath, true);
}

void CEpswConvertDlg::OnBrowseCor() { Browse(true, "(*.cor)|*.cor||", m_converter.m_strCorPath); }

void CEpswConvertDlg::OnBrowseNot() { Browse(true, "(*.not)|*.not||", m_converter.m_strNotPath); }

void CEpswConvertDlg::OnOK() {
  // The converter reads the members as the toggles and Browse buttons left
  // them, not the boxes: a path typed without its Browse button is not used.
  // After a message the dialog stays open for another try.
  if (m_converter.OnOK()) ui::Dialog::OnOK();
}

}  // namespace dz
