// The feature files on Windows as on POSIX (docs/qel-format.md, Writing):
// one writer at a time, in this process or another, and none after a killed
// one; a file that is there but cannot be read is refused, not replaced; a
// device is not a file; a save leaves no temporary file, and a failed one
// leaves the old file; what a killed save left is removed at the next open.
// Usage: file_safety_check.exe WORK_DIR
//        file_safety_check.exe hold FILE     (a second process: opens FILE and waits)
//        file_safety_check.exe open FILE     (a second process: exit 0 when FILE is in use)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/line_reader.h"
#include "base/sibling_files.h"
#include "standin/engine.h"
#include "tests/win32/check.h"
#include "ui/win32/win32_text.h"

using dz::wincheck::check;
using dz::ui::win32::Narrow;

namespace {

std::string readAll(const std::string& path) {
  std::string bytes;
  return dz::readWholeFile(path, bytes) ? bytes : "(cannot read)";
}

// The names in a folder, but . and ..
int entriesIn(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") ++n;
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return n;
}

void addPoint(dz::HostLibrary& host, dz::QelHandle h, const char* name) {
  dz::PointRecord p{};
  dz::copyName(p.name, name);
  host.AddPoint(h, &p, 1);
}

// This program again with `args`; its process.
PROCESS_INFORMATION startSelf(const std::wstring& args) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) pi.hProcess = nullptr;
  return pi;
}

DWORD exitCodeOf(PROCESS_INFORMATION& pi) {
  if (!pi.hProcess) return 99;
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

int hold(const std::string& path) {
  dz::FeatureFileEngine engine(".");
  // The parent tries the file meanwhile: take it as soon as it is free.
  for (int i = 0; i < 250 && engine.OpenFeatureFile(path.c_str()) <= 0; ++i) Sleep(20);
  Sleep(60000);  // killed long before
  return 0;
}

int tryOpen(const std::string& path) {
  dz::FeatureFileEngine engine(".");
  return engine.OpenFeatureFile(path.c_str()) == 0 &&
                 engine.lastOpenError() == path + ": file in use by another process"
             ? 0
             : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"hold") return hold(Narrow(argv[2]));
  if (argc == 3 && std::wstring(argv[1]) == L"open") return tryOpen(Narrow(argv[2]));
  if (argc != 2) {
    std::printf("usage: file_safety_check WORK_DIR\n");
    return 2;
  }
  const std::wstring dir = argv[1];

  // One writer at a time: a second engine, a second process, a second
  // spelling of the name (Windows compares names without case).
  const std::wstring wideFile = dir + L"\\\u5171\u7528.qel";  // 共用.qel
  const std::string file = Narrow(wideFile);
  {
    dz::FeatureFileEngine first(".");
    const dz::QelHandle h = first.OpenFeatureFile(file.c_str());
    check(h > 0, "the first writer opens the file: " + first.lastOpenError());
    addPoint(first, h, "P1");
    check(first.CommitFeatureFile(h) > 0, "and commits");
    dz::FeatureFileEngine second(".");
    check(second.OpenFeatureFile(file.c_str()) == 0 &&
              second.lastOpenError() == file + ": file in use by another process",
          "a second engine is refused: " + second.lastOpenError());
    const std::string upper = Narrow(dir + L"\\\u5171\u7528.QEL");
    check(second.OpenFeatureFile(upper.c_str()) == 0, "also under the name in other case");
    PROCESS_INFORMATION other = startSelf(L"open \"" + wideFile + L"\"");
    check(exitCodeOf(other) == 0, "another process is refused");
    first.CloseFeatureFile(h);
    const dz::QelHandle later = second.OpenFeatureFile(file.c_str());
    check(later > 0 && second.store(later)->points().size() == 1, "after the close the next writer opens it");
    second.CloseFeatureFile(later);
  }
  check(entriesIn(dir) == 1, "no lock file stays after the close");

  // A killed writer: the system lets go of its lock.
  {
    PROCESS_INFORMATION holder = startSelf(L"hold \"" + wideFile + L"\"");
    dz::FeatureFileEngine engine(".");
    dz::QelHandle h = 0;
    for (int i = 0; i < 200 && h == 0; ++i) {
      // Until the holder has it, the file opens; close and wait for it.
      h = engine.OpenFeatureFile(file.c_str());
      if (h > 0) {
        engine.CloseFeatureFile(h);
        h = 0;
        Sleep(20);
        continue;
      }
      break;
    }
    check(engine.lastOpenError() == file + ": file in use by another process", "the holding process has the file");
    if (holder.hProcess) TerminateProcess(holder.hProcess, 9);
    exitCodeOf(holder);
    h = engine.OpenFeatureFile(file.c_str());
    check(h > 0, "a killed holder leaves the file free: " + engine.lastOpenError());
    engine.CloseFeatureFile(h);
  }

  // A file that is there but cannot be read (here: held by another program
  // without sharing) is refused, and stays as it was.
  {
    const std::string before = readAll(file);
    const HANDLE exclusive =
        CreateFileW(wideFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    check(exclusive != INVALID_HANDLE_VALUE, "the file is held without sharing");
    dz::FeatureFileEngine engine(".");
    check(engine.OpenFeatureFile(file.c_str()) == 0 &&
              engine.lastOpenError().rfind(file + ": cannot be read: ", 0) == 0,
          "a file that cannot be read is refused: " + engine.lastOpenError());
    CloseHandle(exclusive);
    check(readAll(file) == before, "and left as it was");
  }

  // A device is not a file, to open or to replace.
  {
    dz::FeatureFileEngine engine(".");
    check(engine.OpenFeatureFile("NUL") == 0 && engine.lastOpenError() == "NUL is not a regular file",
          "NUL is refused: " + engine.lastOpenError());
    std::string error;
    check(!dz::writeFileAtomically("NUL", "x", error), "and not replaced: " + error);
  }

  // A folder given for a text file does not open as an empty file.
  {
    dz::LineReader reader;
    check(!reader.open(Narrow(dir)), "a folder is not a text file");
  }

  // Saves: nothing beside the file after a save or a failed one; what a
  // killed save left goes at the next open.
  {
    const std::wstring wideSaved = dir + L"\\\u4FDD\u5B58.qel";  // 保存.qel
    const std::string saved = Narrow(wideSaved);
    std::string error;
    check(dz::writeFileAtomically(saved, "old", error), "a save: " + error);
    const int before = entriesIn(dir);
    _putenv_s("DZ_TEST_FILE_FAULT", "no-space@1");
    check(!dz::writeFileAtomically(saved, "new contents", error) &&
              error.rfind("cannot write " + saved + ": ", 0) == 0,
          "a full disk is told: " + error);
    _putenv_s("DZ_TEST_FILE_FAULT", "rename");
    check(!dz::writeFileAtomically(saved, "new contents", error) &&
              error.rfind("cannot replace " + saved + ": ", 0) == 0,
          "a failed rename is told: " + error);
    _putenv_s("DZ_TEST_FILE_FAULT", "partial-writes");
    const std::string large(5000, 'x');
    check(dz::writeFileAtomically(saved, large, error) && readAll(saved) == large, "partial writes make a whole file");
    _putenv_s("DZ_TEST_FILE_FAULT", "");
    check(entriesIn(dir) == before, "no failed save leaves a temporary file");
    check(dz::writeFileAtomically(saved, "old", error), "a save: " + error);

    {
      dz::FeatureFileEngine maker(".");
      maker.startEmpty(saved);
      const dz::QelHandle made = maker.OpenFeatureFile(saved.c_str());
      check(made > 0 && maker.CommitFeatureFile(made) > 0, "a feature file is saved");
    }
    const std::string ours = dz::newTemporaryFor(saved);
    check(dz::writeFileAtomically(saved + ".tmp~", "left", error), "a temporary of an earlier version");
    check(dz::writeFileAtomically(ours, "left", error), "a temporary of ours");
    const std::string others = dz::newTemporaryFor(file);
    check(dz::writeFileAtomically(others, "left", error), "a temporary of another file");
    dz::FeatureFileEngine engine(".");
    const dz::QelHandle h = engine.OpenFeatureFile(saved.c_str());
    check(h > 0, "the file opens: " + engine.lastOpenError());
    check(readAll(saved + ".tmp~") == "(cannot read)" && readAll(ours) == "(cannot read)",
          "the open removed what killed saves of it left");
    check(readAll(others) == "left", "and left another file's alone");
    engine.CloseFeatureFile(h);
  }
  return dz::wincheck::finish("file_safety_check");
}
