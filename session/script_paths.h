// The paths a script answers file dialogs with, as the log shows them. A
// file dialog hands back the full path of the file the script names (the
// real one does, and so does the headless one, so that what the dialogs do
// with the path, such as looking for ".qel" in it, is done on the same
// text); the log writes the script's words for it wherever it shows up in a
// logged text, so that the log reads the same on every machine and with
// either player.
//
// The names are kept by what the script wrote: a file the script names in
// two ways ("samples/a.txt", then "./samples/a.txt") has one full path, and
// a text cannot tell which answer put it there, so it reads as the first
// of the script's names for it on both players.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "session/session_log.h"

namespace dz::session {

class ScriptPathNames {
 public:
  // A file dialog was answered with `scriptPath`, which it handed back as
  // `fullPath` (both GBK, as texts show them).
  void Add(const std::string& fullPath, const std::string& scriptPath);

  // `gbk` with every full path handed back written as the script wrote it,
  // the longest full path first.
  std::string AsScriptWrote(const std::string& gbk) const;
  ControlState AsScriptWrote(ControlState state) const;

 private:
  // (full path, the script's first name for it), longest full path first.
  std::vector<std::pair<std::string, std::string>> names_;
};

// The full path of `path` (the platform's narrow form), as a file dialog
// hands it back: from the current directory when relative, with "." and
// ".." taken out and the separators made one.
std::string FullPathOf(const std::string& path);

}  // namespace dz::session
