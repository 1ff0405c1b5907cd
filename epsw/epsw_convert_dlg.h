// The EPSW conversion dialog: the user names the .cor point-and-line file,
// the .not annotation file and the feature file that receives them, each
// with its Browse button, and ticks which of the two files to convert.
// "转  换" runs the conversion in the dialog's own confirm handler.
//
// The controls are exchanged straight into a converter that lives as long as
// the dialog, so the state of a run (the output handle and the running point
// and feature numbers) carries over when the user presses "转  换" again
// after an error.
#pragma once

#include "epsw/epsw_converter.h"
#include "host/host_library.h"
#include "ui/dialog.h"
#include "ui/message_service.h"

namespace dz {

class CEpswConvertDlg : public ui::Dialog {
 public:
  CEpswConvertDlg(HostLibrary& host, ui::MessageService& messages, ui::Dialog* parent = nullptr);
  ~CEpswConvertDlg() override;

  // The check boxes, the three paths and the state of the runs.
  CEpswConverter m_converter;

 protected:
  void DoDataExchange(ui::DataExchange* pDX) override;
  bool OnInitDialog() override;
  void OnOK() override;
  const ui::MessageMap& GetMessageMap() const override;

  void OnCorCheck();
  void OnNotCheck();
  void OnBrowseOutput();
  void OnBrowseCor();
  void OnBrowseNot();

 private:
  // A file's box can be edited and browsed exactly while its check box is set.
  void ShowFileChoice(int selected, int editId, int browseId);
  // Runs a file dialog; on confirmation stores its path in `member` (with the
  // host extension when asked) and shows the members. False on cancel.
  bool Browse(bool open, const char* filter, std::string& member, bool hostExtension = false);
};

}  // namespace dz
