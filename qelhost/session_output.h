// The session log of qelhost: one line at a time from either of its threads,
// in the order the events happened, on standard output in UTF-8 with LF line
// ends (as `dobrenz run` prints it).
//
// Paths in the log read as the script wrote them. The real file dialog hands
// the plug-in a full Windows path (Z:\...\data\a.qs) where the script said
// "data/a.qs"; the log shows the script's words for it, so the same script
// gives the same log here and on the headless backend. Only paths the script
// answered a file dialog with are rewritten, wherever they occur in a text.
#pragma once

#include "qelhost/critical_section.h"
#include <string>
#include <utility>
#include <vector>

#include "session/session_log.h"

namespace dz::qelhost {

class SessionOutput {
 public:
  void Line(const std::string& utf8);

  // The file dialog was answered with `scriptPath` (GBK, as the script wrote
  // it), which Windows names `fullPath` (GBK).
  void AddPathAlias(const std::string& fullPath, const std::string& scriptPath);
  // `gbk` with every full path of an answered file dialog written as the
  // script wrote it; the longest full path first.
  std::string AsScriptWrote(const std::string& gbk) const;
  session::ControlState AsScriptWrote(session::ControlState state) const;

 private:
  mutable CriticalSection lock_;
  std::vector<std::pair<std::string, std::string>> aliases_;  // longest full path first
};

}  // namespace dz::qelhost
