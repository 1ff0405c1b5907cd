#include "textpoints/text_data_dlg.h"

#include "base/line_reader.h"
#include "textpoints/text_data_ids.h"
#include "ui/file_dialog.h"

namespace dz {

CTextDataDlg::CTextDataDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent)
    : ui::Dialog(IDD_TEXT_DATA, parent), m_importer(host, messages) {}

CTextDataDlg::~CTextDataDlg() = default;

void CTextDataDlg::DoDataExchange(ui::DataExchange* pDX) {
  ui::Dialog::DoDataExchange(pDX);
  CTextPointImporter& s = m_importer;
  ui::DDX_Control(pDX, IDC_TEXT_PREVIEW, m_lbPreview);
  ui::DDX_Path(pDX, IDC_TEXT_PATH, s.m_strPath);
  ui::DDX_Text(pDX, IDC_TEXT_PREFIX, s.m_strPrefix);
  ui::DDX_Text(pDX, IDC_TEXT_ELEV_POS, s.m_nElevPos);
  ui::DDX_Text(pDX, IDC_TEXT_CYCLE, s.m_nCycle);
  ui::DDX_Text(pDX, IDC_TEXT_EAST_POS, s.m_nEastPos);
  ui::DDX_Text(pDX, IDC_TEXT_NORTH_POS, s.m_nNorthPos);
  ui::DDX_Radio(pDX, IDC_TEXT_COLUMN_LAYOUT, s.m_nLayout);
  ui::DDX_Text(pDX, IDC_TEXT_VALUE_FIELD, s.m_nValueField);
  ui::DDX_Text(pDX, IDC_TEXT_START_NO, s.m_nStartNo);
  ui::DDX_Radio(pDX, IDC_TEXT_AUTO_NUMBER, s.m_nNumbering);
  ui::DDX_Text(pDX, IDC_TEXT_CODE_POS, s.m_nCodePos);
  ui::DDX_Text(pDX, IDC_TEXT_SEPARATOR, s.m_strSeparator);
  ui::DDX_Text(pDX, IDC_TEXT_SHOW_CODE, m_nShowCode);
  ui::DDX_Text(pDX, IDC_TEXT_SHOW_EAST, m_dShowEast);
  ui::DDX_Text(pDX, IDC_TEXT_SHOW_ELEV, m_dShowElev);
  ui::DDX_Text(pDX, IDC_TEXT_SHOW_NORTH, m_dShowNorth);
  ui::DDX_CBIndex(pDX, IDC_TEXT_DUP_POLICY, s.m_nDupPolicy);
}

const ui::MessageMap& CTextDataDlg::GetMessageMap() const {
  using H = ui::Handler<CTextDataDlg>;
  static const ui::MessageMap map{
      H{IDC_TEXT_BROWSE, ui::kBnClicked, &CTextDataDlg::OnBrowseFile},
      H{IDC_TEXT_AUTO_NUMBER, ui::kBnClicked, &CTextDataDlg::OnAutoNumber},
      H{IDC_TEXT_CUSTOM_NUMBER, ui::kBnClicked, &CTextDataDlg::OnCustomNumber},
      H{IDC_TEXT_COLUMN_LAYOUT, ui::kBnClicked, &CTextDataDlg::OnColumnLayout},
      H{IDC_TEXT_ROW_LAYOUT, ui::kBnClicked, &CTextDataDlg::OnRowLayout},
      H{IDC_TEXT_CHECK, ui::kBnClicked, &CTextDataDlg::OnCheck},
      H{IDC_TEXT_DUP_POLICY, ui::kCbnSelChange, &CTextDataDlg::OnSelchangeDupPolicy},
  };
  return map;
}

bool CTextDataDlg::OnInitDialog() {
  if (!ui::Dialog::OnInitDialog()) return false;
  if (m_importer.m_nNumbering == CTextPointImporter::kAutoNumbering) EnableDlgItem(IDC_TEXT_START_NO, false);
  return true;
}

// The radio buttons select themselves; the handlers only enable and disable,
// and the members take the selection at the next exchange.
void CTextDataDlg::OnAutoNumber() { EnableDlgItem(IDC_TEXT_START_NO, false); }

void CTextDataDlg::OnCustomNumber() { EnableDlgItem(IDC_TEXT_START_NO, true); }

void CTextDataDlg::OnColumnLayout() {
  for (int id : {IDC_TEXT_VALUE_FIELD, IDC_TEXT_CYCLE, IDC_TEXT_EAST_POS, IDC_TEXT_NORTH_POS, IDC_TEXT_ELEV_POS})
    EnableDlgItem(id, true);
}

void CTextDataDlg::OnRowLayout() {
  EnableDlgItem(IDC_TEXT_VALUE_FIELD, false);
  EnableDlgItem(IDC_TEXT_CYCLE, false);
}

void CTextDataDlg::OnBrowseFile() {
  ui::FileDialog dialog(true, nullptr, nullptr, ui::kOfnHideReadOnly | ui::kOfnFileMustExist, "(*.txt)|*.txt||",
                        this);
  // A number box without a number has been told about; the button goes on
  // with the members as far as they were taken.
  UpdateData(true);
  if (dialog.DoModal() == ui::kIdOk) {
    m_importer.m_strPath = dialog.GetPathName();
    UpdateData(false);
  }
  // A path typed into the box loads as well, also when the file dialog was
  // cancelled.
  if (m_importer.m_strPath.empty()) return;
  dz::LineReader reader;
  if (!reader.open(m_importer.m_strPath)) {
    MessageBox("不能打开所选的文件!!");
    return;
  }
  std::vector<std::string> lines;
  size_t bytes = 0;
  std::string line;
  while (reader.readLine(line)) {
    bytes += line.size() + 1;
    lines.push_back(std::move(line));
  }
  if (reader.failed()) {
    // Part of a file is not its preview.
    m_lbPreview.ResetContent();
    MessageBox("不能打开所选的文件!!");
    return;
  }
  ShowLines(lines, bytes);
}

void CTextDataDlg::ShowLines(const std::vector<std::string>& lines, size_t bytes) {
  // Filled at once and painted once: a real list box repaints after every
  // item otherwise, which takes minutes for a file of 100,000 lines.
  m_lbPreview.SetRedraw(false);
  m_lbPreview.ResetContent();
  m_lbPreview.InitStorage(static_cast<int>(lines.size()), bytes);
  for (const std::string& l : lines) m_lbPreview.AddString(l);
  m_lbPreview.SetRedraw(true);
}

bool CTextDataDlg::PreviewLine(int index, std::string& line) const {
  std::string raw;
  if (!m_lbPreview.GetText(index, raw)) return false;
  // The whole line, at any length, as the import reads it.
  m_importer.ReplaceSeparator(raw, line);
  return true;
}

void CTextDataDlg::CheckColumnLayout() {
  const CTextPointImporter& s = m_importer;
  if (s.m_nCycle <= 0) return;
  // Lines the list does not hold are not read: they change no shown value.
  // (So the loop ends with the list, however large the cycle.)
  std::string line;
  for (int i = 0; i < s.m_nCycle && PreviewLine(i, line); ++i) {
    const std::string value = s.GetField(line, s.m_nValueField);
    const int p = i + 1;
    if (p == s.m_nEastPos) {
      m_dShowEast = CTextPointImporter::FieldToNumber(value);
    } else if (p == s.m_nNorthPos) {
      m_dShowNorth = CTextPointImporter::FieldToNumber(value);
    } else if (p == s.m_nElevPos) {
      // The elevation the point would be stored with.
      m_dShowElev = CTextPointImporter::FieldToNumber(value);
      if (m_dShowElev == 0) m_dShowElev = 9999;
    } else if (p == s.m_nCodePos) {
      m_nShowCode = CTextPointImporter::FieldToInteger(value);
    } else {
      // A line that is none of the four shows the code as none, also after
      // an earlier line set it.
      m_nShowCode = -1;
    }
  }
}

void CTextDataDlg::CheckRowLayout() {
  const CTextPointImporter& s = m_importer;
  std::string line;
  if (!PreviewLine(0, line)) return;
  m_dShowEast = CTextPointImporter::FieldToNumber(s.GetField(line, s.m_nEastPos));
  m_dShowNorth = CTextPointImporter::FieldToNumber(s.GetField(line, s.m_nNorthPos));
  // Shown as read: a zero elevation shows as 0 in this layout.
  m_dShowElev = CTextPointImporter::FieldToNumber(s.GetField(line, s.m_nElevPos));
  m_nShowCode = s.m_nCodePos < 1 ? -1 : CTextPointImporter::FieldToInteger(s.GetField(line, s.m_nCodePos));
}

void CTextDataDlg::OnCheck() {
  UpdateData(true);
  if (m_importer.m_nLayout == CTextPointImporter::kRowLayout)
    CheckRowLayout();
  else
    CheckColumnLayout();
  UpdateData(false);
}

void CTextDataDlg::OnSelchangeDupPolicy() { UpdateData(true); }

void CTextDataDlg::OnOK() {
  // The stored path counts, as the last exchange took it (a browse, a check,
  // a choice in the duplicate list or an earlier import), not the text now
  // in the box: a path typed and imported at once is refused, and since
  // the refusal exchanges nothing, it is refused again at every press.
  if (m_importer.m_strPath.empty()) {
    MessageBox("请选择输入的文件路径！！！");
    return;
  }
  UpdateData(true);
  m_importer.ImportPoints();
  // The dialog stays open for the next file.
}

}  // namespace dz
