#include "attributes/attribute_path_dlg.h"

#include "attributes/attribute_path_ids.h"
#include "ui/file_dialog.h"

namespace dz {

const char* const CAttributePathDlg::kCategoryLabels[kCategoryCount] = {
    "宗地文件路径", "界址点文件路径", "房屋文件路径", "管点文件路径", "管线文件路径",
    "控制点文件路径", "坎高文件路径", "住户文件路径", "界址线文件路径",
};

CAttributePathDlg::CAttributePathDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent)
    : ui::Dialog(IDD_ATTRIBUTE_PATH, parent), m_host(host), m_messages(messages) {}

CAttributePathDlg::~CAttributePathDlg() = default;

void CAttributePathDlg::DoDataExchange(ui::DataExchange* pDX) {
  ui::Dialog::DoDataExchange(pDX);
  ui::DDX_Control(pDX, IDC_ATTR_USE_PREFIX, m_btnPrefix);
  ui::DDX_Control(pDX, IDC_ATTR_CATEGORY, m_cbCategory);
  ui::DDX_Path(pDX, IDC_ATTR_PATH, m_strPath);
  ui::DDX_Text(pDX, IDC_ATTR_PREFIX, m_strPrefix);
  ui::DDX_Check(pDX, IDC_ATTR_USE_PREFIX, m_bUsePrefix);
  ui::DDX_Check(pDX, IDC_ATTR_SAVE_FILE, m_bSaveFile);
  ui::DDX_Path(pDX, IDC_ATTR_SAVE_PATH, m_strSavePath);
}

const ui::MessageMap& CAttributePathDlg::GetMessageMap() const {
  using H = ui::Handler<CAttributePathDlg>;
  static const ui::MessageMap map{
      H{IDC_ATTR_CATEGORY, ui::kCbnSelChange, &CAttributePathDlg::OnSelchangeCategory},
      H{IDC_ATTR_BROWSE_PATH, ui::kBnClicked, &CAttributePathDlg::OnBrowseAttributeFile},
      H{IDC_ATTR_BROWSE_SAVE, ui::kBnClicked, &CAttributePathDlg::OnBrowseSaveFile},
      H{IDC_ATTR_USE_PREFIX, ui::kBnClicked, &CAttributePathDlg::OnPrefixCheck},
      H{IDC_ATTR_SAVE_FILE, ui::kBnClicked, &CAttributePathDlg::OnSaveFileCheck},
  };
  return map;
}

bool CAttributePathDlg::OnInitDialog() {
  if (!ui::Dialog::OnInitDialog()) return false;
  // No category is selected and the label reads "文件路径", but m_nCategory
  // is already 0: a file browsed before any choice belongs to 宗地.
  if (m_bUsePrefix == 0) EnableDlgItem(IDC_ATTR_PREFIX, false);
  if (m_bSaveFile == 0) {
    EnableDlgItem(IDC_ATTR_SAVE_PATH, false);
    EnableDlgItem(IDC_ATTR_BROWSE_SAVE, false);
  }
  return true;
}

void CAttributePathDlg::OnSelchangeCategory() {
  // The boxes are rewritten from the members without taking them first: text
  // typed into the prefix or save-path box since the last exchange is lost,
  // and the new category's stored path is not shown.
  m_strPath.clear();
  UpdateData(false);
  m_nCategory = m_cbCategory.GetCurSel();
  if (m_nCategory >= 0 && m_nCategory < kCategoryCount)
    SetDlgItemText(IDC_ATTR_PATH_LABEL, kCategoryLabels[m_nCategory]);
  // Only parcels have numbers to prefix: the prefix is on and usable after
  // 宗地 is chosen, off and unusable after any other choice.
  const bool parcels = m_nCategory == CAttributeAttacher::kParcelCategory;
  m_btnPrefix.SetCheck(parcels ? ui::kBstChecked : ui::kBstUnchecked);
  m_btnPrefix.EnableWindow(parcels);
  EnableDlgItem(IDC_ATTR_PREFIX, parcels);
}

void CAttributePathDlg::OnBrowseAttributeFile() {
  UpdateData(true);
  ui::FileDialog dialog(true, nullptr, nullptr, ui::kOfnHideReadOnly | ui::kOfnFileMustExist, "(*.txt)|*.txt||",
                        this);
  if (dialog.DoModal() == ui::kIdOk) {
    m_strPath = dialog.GetPathName();
    UpdateData(false);
  }
  // Also after a cancelled file dialog the category takes what the path box
  // held when "浏览" was pressed, an empty box included: this button is the
  // only way a path reaches a category.
  if (m_nCategory >= 0 && m_nCategory < kCategoryCount) m_strCategoryPath[m_nCategory] = m_strPath;
}

void CAttributePathDlg::OnBrowseSaveFile() {
  UpdateData(true);
  ui::FileDialog dialog(false, nullptr, nullptr, ui::kOfnHideReadOnly | ui::kOfnFileMustExist,
                        "data files(*.qel)|*qel||", this);
  if (dialog.DoModal() != ui::kIdOk) return;
  m_strSavePath = dialog.GetPathName();
  ui::AppendExtensionUnlessPresent(m_strSavePath, ".qel");
  UpdateData(false);
}

void CAttributePathDlg::OnPrefixCheck() {
  // m_bUsePrefix follows the box at the next exchange from the controls.
  EnableDlgItem(IDC_ATTR_PREFIX, m_btnPrefix.GetCheck() != ui::kBstUnchecked);
}

void CAttributePathDlg::OnSaveFileCheck() {
  m_bSaveFile = m_bSaveFile == 0 ? 1 : 0;
  EnableDlgItem(IDC_ATTR_SAVE_PATH, m_bSaveFile != 0);
  EnableDlgItem(IDC_ATTR_BROWSE_SAVE, m_bSaveFile != 0);
}

void CAttributePathDlg::OnOK() {
  UpdateData(true);
  {
    CAttributeAttacher attacher(m_host, m_messages);
    attacher.m_strPrefix = m_strPrefix;
    for (int i = 0; i < kCategoryCount; ++i) attacher.m_strCategoryPath[i] = m_strCategoryPath[i];
    attacher.m_bUsePrefix = m_bUsePrefix;
    attacher.Run(m_hFile);
  }
  // The save follows the path alone: "保 存 文 件" only enables the save
  // controls, so a path left in the disabled box is still used.
  if (!m_strSavePath.empty()) {
    m_host.PrepareSaveAs(m_hFile);
    m_host.SaveFeatureFileAs(m_hFile, m_strSavePath.c_str());
  }
  ui::Dialog::OnOK();
}

}  // namespace dz
