#include "session/script_paths.h"

#include <algorithm>

#include "base/gbk.h"

#ifdef _WIN32
#include <stdlib.h>
#else
#include <unistd.h>
#endif

namespace dz::session {

void ScriptPathNames::Add(const std::string& fullPath, const std::string& scriptPath) {
  if (fullPath.empty() || fullPath == scriptPath) return;
  for (const auto& name : names_)
    if (name.first == fullPath) return;  // named before: the first name stays
  names_.emplace_back(fullPath, scriptPath);
  std::stable_sort(names_.begin(), names_.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

std::string ScriptPathNames::AsScriptWrote(const std::string& gbk) const {
  std::string text = gbk;
  for (const auto& [full, script] : names_) {
    std::string out;
    size_t from = 0;
    for (;;) {
      const size_t at = findGbkText(std::string_view(text).substr(from), full);
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

ControlState ScriptPathNames::AsScriptWrote(ControlState state) const {
  state.text = AsScriptWrote(state.text);
  for (std::string& item : state.items) item = AsScriptWrote(item);
  return state;
}

#ifdef _WIN32

std::string FullPathOf(const std::string& path) {
  const std::u16string wide = gbkToUtf16(path);
  wchar_t* full = _wfullpath(nullptr, reinterpret_cast<const wchar_t*>(wide.c_str()), 0);
  if (!full) return path;
  std::string gbk;
  const bool held = utf16ToGbk(std::u16string(reinterpret_cast<const char16_t*>(full)), gbk);
  free(full);
  return held ? gbk : path;
}

#else

std::string FullPathOf(const std::string& path) {
  std::string from = path;
  if (from.empty() || from[0] != '/') {
    std::string cwd(4096, '\0');
    while (!getcwd(&cwd[0], cwd.size())) {
      if (cwd.size() > (1u << 20)) return path;
      cwd.resize(cwd.size() * 2);
    }
    cwd.resize(cwd.find('\0'));
    from = cwd + "/" + from;
  }
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= from.size()) {
    size_t end = from.find('/', at);
    if (end == std::string::npos) end = from.size();
    const std::string part = from.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string full;
  for (const std::string& part : parts) full += "/" + part;
  return full.empty() ? "/" : full;
}

#endif

}  // namespace dz::session
