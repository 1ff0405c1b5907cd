// The console on Windows: UTF-16 to a console, UTF-8 bytes to a file or a
// pipe; arguments from UTF-16, paths in GBK as the rest of the system holds them.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "base/gbk.h"
#include "cli/console.h"
#include "ui/win32/win32_text.h"

namespace dz::cli {
namespace {

std::wstring utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string wideToUtf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], n, nullptr, nullptr);
  utf8.resize(n - 1);
  return utf8;
}

// The console behind a standard handle; null when the stream goes to a file
// or a pipe. Asked once: the handles do not change while dobrenz runs.
HANDLE consoleOf(DWORD stdHandle) {
  const HANDLE h = GetStdHandle(stdHandle);
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode) ? h : nullptr;
}

void write(std::FILE* stream, HANDLE console, std::string_view utf8) {
  if (!console) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    return;
  }
  // What went through the C stream before comes out first.
  std::fflush(stream);
  const std::wstring wide = utf8ToWide(utf8);
  // A console takes a limited amount in one call; the pieces end between
  // UTF-16 units that are not halves of one character.
  constexpr size_t kPiece = 8192;
  for (size_t from = 0; from < wide.size();) {
    size_t count = wide.size() - from < kPiece ? wide.size() - from : kPiece;
    if (from + count < wide.size() && IS_HIGH_SURROGATE(wide[from + count - 1])) --count;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + from, static_cast<DWORD>(count), &written, nullptr) || written == 0)
      return;
    from += written;
  }
}

}  // namespace

void writeOut(std::string_view utf8) {
  static const HANDLE console = consoleOf(STD_OUTPUT_HANDLE);
  write(stdout, console, utf8);
}

void writeErr(std::string_view utf8) {
  static const HANDLE console = consoleOf(STD_ERROR_HANDLE);
  write(stderr, console, utf8);
  std::fflush(stderr);
}

bool pathFromArgument(const std::string& utf8, std::string& path) {
  return ui::win32::PathToGbk(utf8ToWide(utf8), path);
}

std::string shownPath(const std::string& path) { return gbkToUtf8(path); }

std::vector<std::string> argumentsFromWide(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(wideToUtf8(argv[i]));
  return args;
}

void setUpStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace dz::cli
