// The text data dialog: the user chooses a text file of point coordinates,
// sees its lines, describes how the values are laid out, how points are
// named and what happens to a name that already exists, checks the layout on
// the first point ("检  验") and imports ("数据录入"). The dialog stays open
// after an import, so that several files can be read; it closes only through
// "退  出" or the window's close box.
//
// The settings are exchanged straight into an importer that lives as long
// as the dialog: its naming state (the base name, the names drawn, the last
// code) carries over from one import to the next.
#pragma once

#include <string>
#include <vector>

#include "host/host_library.h"
#include "textpoints/text_point_importer.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/message_service.h"

namespace dz {

class CTextDataDlg : public ui::Dialog {
 public:
  CTextDataDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent = nullptr);
  ~CTextDataDlg() override;

  // The settings, the host file (m_hFile) and the naming state
  // (m_szPointName, m_nPointSeq, m_nCode), set by the command before the
  // dialog runs and read back when it has closed.
  CTextPointImporter m_importer;

  ui::CListBox m_lbPreview;  // the lines of the chosen file
  // What the check read for the first point.
  int m_nShowCode = 0;
  double m_dShowEast = 0;
  double m_dShowElev = 0;
  double m_dShowNorth = 0;

 protected:
  void DoDataExchange(ui::DataExchange* pDX) override;
  bool OnInitDialog() override;
  void OnOK() override;
  const ui::MessageMap& GetMessageMap() const override;

  void OnBrowseFile();
  void OnAutoNumber();
  void OnCustomNumber();
  void OnColumnLayout();
  void OnRowLayout();
  void OnCheck();
  void OnSelchangeDupPolicy();

 private:
  // Replaces the list's lines with `lines` (`bytes` bytes in all).
  void ShowLines(const std::vector<std::string>& lines, size_t bytes);
  // Line `index` of the list, split as the import splits a line (the
  // separator replaced by spaces); false when the list holds no such line.
  bool PreviewLine(int index, std::string& line) const;
  void CheckColumnLayout();
  void CheckRowLayout();
};

}  // namespace dz
