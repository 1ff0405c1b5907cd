// qelhost.exe SCRIPT [--host-dir DIR] [--timeout SECONDS] [--pictures DIR]
//
// A small host program for the plug-in: it loads DobrenzData.dll by name,
// opens feature files through the host's libraries (QelBlk60.dll and
// QelCore60.dll: the stand-ins), calls the commands by ordinal on its
// user-interface thread, and plays a session script (the language of
// `dobrenz run`) against the plug-in's real windows from a second thread. It
// prints the same log as `dobrenz run` and ends with the same exit codes:
// 0 played to the end, 1 something failed, 2 the script does not fit what
// happened (or a usage error), 3 the session did not end in time.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/classic_scan.h"
#include "base/file_io.h"
#include "host/win32/imported_host_library.h"
#include "qelhost/host_side.h"
#include "qelhost/modal_watch.h"
#include "qelhost/script_player.h"
#include "qelhost/session_output.h"
#include "session/session_script.h"
#include "ui/win32/win32_text.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitTimeout = 3;

int usage(const char* problem) {
  if (problem) std::fprintf(stderr, "qelhost: %s\n", problem);
  std::fprintf(stderr,
               "usage: qelhost SCRIPT [--host-dir DIR] [--timeout SECONDS] [--pictures DIR]\n"
               "Loads DobrenzData.dll, plays the session SCRIPT against its dialogs and prints\n"
               "the session's log. --pictures keeps a picture of each dialog shown (BMP with a\n"
               "listing of its texts); --timeout ends a session that hangs (default 60).\n");
  return problem ? kExitUsage : 0;
}

struct Watchdog {
  DWORD seconds;
};

DWORD WINAPI watchdogThread(LPVOID data) {
  const DWORD seconds = static_cast<Watchdog*>(data)->seconds;
  Sleep(seconds * 1000);
  std::fflush(stdout);
  std::fprintf(stderr, "qelhost: the session did not end within %lu s; stopped\n", static_cast<unsigned long>(seconds));
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), kExitTimeout);
  return 0;
}

DWORD WINAPI playerThread(LPVOID data) {
  static_cast<dz::qelhost::ScriptPlayer*>(data)->Play();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The log's lines end in LF alone, as on the other player.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);

  std::vector<std::string> args;  // GBK, the system's form of paths
  for (int i = 1; i < argc; ++i) args.push_back(dz::ui::win32::Narrow(argv[i]));
  std::string scriptPath, hostDir;
  std::wstring pictures;
  int timeout = 60;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") return usage(nullptr);
    const bool takesValue = a == "--host-dir" || a == "--timeout" || a == "--pictures";
    if (takesValue && i + 1 >= args.size()) return usage((a + " needs a value").c_str());
    if (a == "--host-dir") hostDir = args[++i];
    else if (a == "--timeout") {
      timeout = dz::classicAtoi(args[++i].c_str());
      if (timeout <= 0) return usage("--timeout needs a positive number of seconds");
    } else if (a == "--pictures") {
      ++i;
      pictures = argv[i + 1];  // kept wide: Windows names the folder
    }
    else if (!a.empty() && a[0] == '-') return usage(("unknown option " + a).c_str());
    else if (scriptPath.empty()) scriptPath = a;
    else return usage("expected one script");
  }
  if (scriptPath.empty()) return usage("expected one script");

  Watchdog watchdog{static_cast<DWORD>(timeout)};
  CloseHandle(CreateThread(nullptr, 0, &watchdogThread, &watchdog, 0, nullptr));

  std::string text;
  if (!dz::readWholeFile(scriptPath, text)) {
    std::fprintf(stderr, "qelhost: %s cannot be read\n", scriptPath.c_str());
    return kExitFailure;
  }
  dz::session::SessionScript script;
  dz::session::ScriptError error;
  if (!dz::session::ParseSessionScript(text, script, error)) {
    std::fprintf(stderr, "qelhost: %s:%d: %s\n", scriptPath.c_str(), error.line, error.message.c_str());
    return kExitUsage;
  }
  // The stand-in engine finds the host directory here, as `dobrenz run
  // --host-dir` tells it; in full, since the file dialogs move the current
  // directory about while they are open.
  if (!hostDir.empty()) {
    wchar_t full[32768];
    const std::wstring dir = dz::ui::win32::Widen(hostDir);
    const DWORD n = GetFullPathNameW(dir.c_str(), 32768, full, nullptr);
    if (n > 0 && n < 32768) hostDir = dz::ui::win32::Narrow(std::wstring(full, n));
    _putenv(("QEL_HOST_DIR=" + hostDir).c_str());
  }

  HMODULE plugin = LoadLibraryW(L"DobrenzData.dll");
  if (!plugin) {
    std::fprintf(stderr, "qelhost: DobrenzData.dll cannot be loaded (error %lu)\n", GetLastError());
    return kExitFailure;
  }
  dz::qelhost::SessionOutput output;
  dz::qelhost::ModalWatch watch(output);
  dz::qelhost::StandinExtras extras;
  std::string problem;
  if (!watch.Install(plugin, problem) || !extras.Load(problem)) {
    std::fprintf(stderr, "qelhost: %s\n", problem.c_str());
    return kExitFailure;
  }
  dz::ImportedHostLibrary host;
  int exitCode;
  {
    dz::qelhost::HostSide side(output, plugin, host, extras);
    if (!side.Create()) {
      std::fprintf(stderr, "qelhost: the host window cannot be made\n");
      return kExitFailure;
    }
    dz::qelhost::PlayerOptions options;
    options.scriptName = scriptPath;
    options.shotDir = pictures;
    dz::qelhost::ScriptPlayer player(script, options, side, watch, output, GetCurrentThreadId(), extras);
    HANDLE thread = CreateThread(nullptr, 0, &playerThread, &player, 0, nullptr);
    exitCode = side.RunLoop();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  std::fflush(stdout);
  FreeLibrary(plugin);
  return exitCode;
}
