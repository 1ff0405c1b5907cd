#include "qelhost/session_output.h"

#include <cstdio>

namespace dz::qelhost {

void SessionOutput::Line(const std::string& utf8) {
  CriticalSection::Hold hold(lock_);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void SessionOutput::AddPathName(const std::string& fullPath, const std::string& scriptPath) {
  CriticalSection::Hold hold(lock_);
  names_.Add(fullPath, scriptPath);
}

std::string SessionOutput::AsScriptWrote(const std::string& gbk) const {
  CriticalSection::Hold hold(lock_);
  return names_.AsScriptWrote(gbk);
}

session::ControlState SessionOutput::AsScriptWrote(session::ControlState state) const {
  CriticalSection::Hold hold(lock_);
  return names_.AsScriptWrote(std::move(state));
}

}  // namespace dz::qelhost
