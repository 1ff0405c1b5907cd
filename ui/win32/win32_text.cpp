#include "ui/win32/win32_text.h"

#include "base/gbk.h"
#include "ui/control_text.h"

namespace dz::ui::win32 {
namespace {

bool shortPath(const std::wstring& path, std::wstring& shortForm) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return false;
  std::wstring buffer(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), &buffer[0], size);
  if (n == 0 || n >= size) return false;
  buffer.resize(n);
  shortForm = buffer;
  return true;
}

bool toGbk(const std::wstring& wide, std::string& gbk) {
  return dz::utf16ToGbk(std::u16string(wide.begin(), wide.end()), gbk);
}

}  // namespace

std::wstring Widen(const std::string& gbk) {
  const std::u16string wide = ControlText(gbk);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(const std::wstring& wide) { return ControlTextBytes(std::u16string(wide.begin(), wide.end())); }

bool PathToGbk(const std::wstring& path, std::string& gbk) {
  if (toGbk(path, gbk)) return true;
  std::wstring shortForm;
  if (shortPath(path, shortForm) && toGbk(shortForm, gbk)) return true;
  // A file that does not exist yet has no short form; its folder may.
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0) return false;
  if (!shortPath(path.substr(0, slash), shortForm) || !toGbk(shortForm + path.substr(slash), gbk)) return false;
  return true;
}

}  // namespace dz::ui::win32
