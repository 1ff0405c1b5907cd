// Paths as the text of a box. Inside the system a text is GBK, while a path
// is the platform's narrow form (GBK on Windows, UTF-8 elsewhere), the form
// the file functions and the host's library take. A path shown in a box is
// turned into text, and a path typed into one back into the platform's form
// before anything opens it, so that a Chinese path typed by the user names
// the same file here as on Windows.
#pragma once

#include <string>

namespace dz::ui {

// The text a box shows for `path` (platform form → GBK).
std::string PathToText(const std::string& path);
// The path a box's text names (GBK → platform form).
std::string TextToPath(const std::string& text);

}  // namespace dz::ui
