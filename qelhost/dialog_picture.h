// A picture of an open dialog as the screen shows it, for the rendering
// checks: the dialog's rectangle copied from the screen into a 24-bit BMP,
// and beside it a text file (UTF-8, tab-separated) with what should be seen
// where, in the picture's pixels:
//   caption <x> <y> <width> <height> <text>     the title bar and its text
//   control <id> <kind> <x> <y> <width> <height> <text width> <text height> <text>
//       every control with a text; kind: static, push, check, radio, group,
//       edit, list or combo; the text's size is measured in the control's font
#pragma once

#include <windows.h>

#include <string>

namespace dz::qelhost {

bool SaveDialogPicture(HWND dialog, const std::wstring& bmpPath, const std::wstring& textPath);

}  // namespace dz::qelhost
