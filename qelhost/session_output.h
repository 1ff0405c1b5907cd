// The session log of qelhost: one line at a time from either of its threads,
// in the order the events happened, on standard output in UTF-8 with LF line
// ends (as `dobrenz run` prints it).
//
// Paths in the log read as the script wrote them (session/script_paths.h):
// the real file dialog hands the plug-in a full Windows path
// (Z:\...\data\a.qs) where the script said "data/a.qs", and the log shows the
// script's words for it, as `dobrenz run` does for the full paths of its
// file dialogs.
#pragma once

#include <string>

#include "qelhost/critical_section.h"
#include "session/script_paths.h"
#include "session/session_log.h"

namespace dz::qelhost {

class SessionOutput {
 public:
  void Line(const std::string& utf8);

  // The file dialog was answered with `scriptPath` (GBK, as the script wrote
  // it) and handed the plug-in `fullPath` (GBK).
  void AddPathName(const std::string& fullPath, const std::string& scriptPath);
  std::string AsScriptWrote(const std::string& gbk) const;
  session::ControlState AsScriptWrote(session::ControlState state) const;

 private:
  mutable CriticalSection lock_;
  session::ScriptPathNames names_;
};

}  // namespace dz::qelhost
