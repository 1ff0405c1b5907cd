// Texts and paths between the system (GBK bytes) and Windows' wide calls.
// The conversion goes through our own GBK table, never through the ANSI
// code page, so the Chinese texts come out right on any Windows.
#pragma once

#include <windows.h>

#include <string>

namespace dz::ui::win32 {

// GBK to UTF-16 and back as the controls hold texts (ui/control_text.h):
// a byte that is not GBK survives the way there and back; a character GBK
// cannot hold becomes '?'.
std::wstring Widen(const std::string& gbk);
std::string Narrow(const std::wstring& wide);

// A path the user chose, as a GBK path that opens the same file: the path
// itself when GBK holds every character of it, else its short (8.3) form,
// else (a file still to be made) the short form of its folder with the
// name. False when none of these can be written in GBK.
bool PathToGbk(const std::wstring& path, std::string& gbk);

}  // namespace dz::ui::win32
