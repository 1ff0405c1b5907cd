// Paths with characters of any script, on a Windows whose ANSI code page is
// not 936 (scripts/windows-tests.sh runs this with a Western code page):
// the system's GBK paths open their files, and a path GBK cannot hold is
// handed back in a form that opens the same file.
// Usage: file_paths_check.exe WORK_DIR
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "base/gbk.h"
#include "tests/win32/check.h"
#include "ui/win32/win32_text.h"

using dz::wincheck::check;
using dz::ui::win32::Narrow;
using dz::ui::win32::PathToGbk;

namespace {

void writeWide(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string readWide(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return "(cannot open)";
  std::string bytes;
  char buffer[256];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

bool isAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: file_paths_check WORK_DIR\n");
    return 2;
  }
  const std::wstring dir = argv[1];
  check(GetACP() != 936, "runs under an ANSI code page other than 936 (it is " + std::to_string(GetACP()) + ")");

  // A Chinese name: the system's GBK path opens, is read, and is replaced.
  const std::wstring chinese = dir + L"\\\u6D4B\u8BD5\u6570\u636E.txt";  // 测试数据.txt
  writeWide(chinese, "line\r\n");
  const std::string gbk = Narrow(chinese);
  check(dz::fileExists(gbk), "a GBK path names its file");
  std::string bytes;
  check(dz::readWholeFile(gbk, bytes) && bytes == "line\r\n", "a GBK path is read");
  const std::wstring target = dir + L"\\\u7ED3\u679C.qel";  // 结果.qel
  std::string error;
  check(dz::writeFileAtomically(Narrow(target), "first", error), "a GBK path is written: " + error);
  check(dz::writeFileAtomically(Narrow(target), "second", error), "and replaced: " + error);
  check(readWide(target) == "second", "the replaced file holds the new bytes");
  check(GetFileAttributesW((target + L".tmp~").c_str()) == INVALID_FILE_ATTRIBUTES, "no temporary file is left");

  // A folder in the target's place: refused, and no temporary file stays.
  const std::wstring folder = dir + L"\\\u76EE\u5F55.qel";  // 目录.qel
  CreateDirectoryW(folder.c_str(), nullptr);
  check(!dz::writeFileAtomically(Narrow(folder), "x", error) &&
            error == "cannot replace " + Narrow(folder) + ": it is a directory",
        "a folder in the target's place is refused: " + error);
  check(GetFileAttributesW((folder + L".tmp~").c_str()) == INVALID_FILE_ATTRIBUTES, "and leaves no temporary file");

  // Paths a user may choose in a file dialog.
  std::string chosen;
  check(PathToGbk(chinese, chosen) && chosen == gbk, "a path GBK holds is handed back as it is");

  const std::wstring korean = dir + L"\\\uD55C\uAE00.txt";  // 한글.txt
  writeWide(korean, "korean");
  check(PathToGbk(korean, chosen) && isAscii(chosen.substr(chosen.find_last_of('\\'))),
        "a name GBK cannot hold comes back in its short form");
  check(dz::readWholeFile(chosen, bytes) && bytes == "korean", "and that path opens the chosen file");

  const std::wstring koreanDir = dir + L"\\\uD55C";  // 한
  CreateDirectoryW(koreanDir.c_str(), nullptr);
  const std::wstring newFile = koreanDir + L"\\\u65B0.qel";  // 新.qel, not made yet
  check(PathToGbk(newFile, chosen), "a new file in a folder GBK cannot name is reached through the folder's short form");
  check(dz::writeFileAtomically(chosen, "new", error) && readWide(newFile) == "new",
        "and writing that path makes the chosen file");

  check(!PathToGbk(koreanDir + L"\\\uC0C8.qel", chosen), "a new file whose own name GBK cannot hold is refused");
  return dz::wincheck::finish("file_paths_check");
}
