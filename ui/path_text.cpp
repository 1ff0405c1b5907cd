#include "ui/path_text.h"

#include "base/gbk.h"

namespace dz::ui {

#ifdef _WIN32

std::string PathToText(const std::string& path) { return path; }
std::string TextToPath(const std::string& text) { return text; }

#else

std::string PathToText(const std::string& path) {
  std::string text;
  utf8ToGbk(path, text);
  return text;
}

std::string TextToPath(const std::string& text) { return gbkToUtf8(text); }

#endif

}  // namespace dz::ui
