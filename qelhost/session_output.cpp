#include "qelhost/session_output.h"

#include <algorithm>
#include <cstdio>

#include "base/gbk.h"

namespace dz::qelhost {

void SessionOutput::Line(const std::string& utf8) {
  CriticalSection::Hold hold(lock_);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void SessionOutput::AddPathAlias(const std::string& fullPath, const std::string& scriptPath) {
  if (fullPath.empty() || fullPath == scriptPath) return;
  CriticalSection::Hold hold(lock_);
  for (auto& alias : aliases_)
    if (alias.first == fullPath) {
      alias.second = scriptPath;
      return;
    }
  aliases_.emplace_back(fullPath, scriptPath);
  std::stable_sort(aliases_.begin(), aliases_.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

std::string SessionOutput::AsScriptWrote(const std::string& gbk) const {
  CriticalSection::Hold hold(lock_);
  std::string text = gbk;
  for (const auto& [full, script] : aliases_) {
    std::string out;
    size_t from = 0;
    for (;;) {
      const size_t at = dz::findGbkText(std::string_view(text).substr(from), full);
      if (at == std::string::npos) break;
      out.append(text, from, at);
      out += script;
      from += at + full.size();
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
  }
  return text;
}

session::ControlState SessionOutput::AsScriptWrote(session::ControlState state) const {
  state.text = AsScriptWrote(state.text);
  for (std::string& item : state.items) item = AsScriptWrote(item);
  return state;
}

}  // namespace dz::qelhost
