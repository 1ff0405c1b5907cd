// The host's side of qelhost, on its user-interface thread: a message-only
// window through which the script's player asks for the host's steps (open a
// feature file, hand over a point name, call a command by ordinal, commit,
// dump) and marks how far the thread has come. A command runs inside the
// window's message handler, so the plug-in's modal dialogs run their loops
// on this thread, as they do in the host.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "base/fixed_field.h"
#include "host/callconv.h"
#include "host/host_library.h"
#include "qelhost/session_output.h"
#include "ui/session_script.h"

namespace dz::qelhost {

// The stand-in engine's extras that the host program reads.
struct StandinExtras {
  using TextFn = const char*(DZ_CALLCONV*)();
  using DumpFn = const char*(DZ_CALLCONV*)(int16_t);
  DumpFn dumpJson = nullptr;
  TextFn lastOpenError = nullptr;
  TextFn takeProblems = nullptr;
  // From the loaded stand-in QelBlk60.dll; false when it lacks them.
  bool Load(std::string& error);
};

// How a host step ended.
struct StepResult {
  int exitCode = 0;      // 0 done; 1 failed; 2 does not fit the script
  std::string message;   // UTF-8, when not done
};

class HostSide {
 public:
  HostSide(SessionOutput& output, HMODULE plugin, HostLibrary& host, const StandinExtras& extras);
  ~HostSide();

  // Makes the window; on the thread that will run the commands.
  bool Create();
  HWND Window() const { return window_; }
  // Runs the thread's message loop until Quit; returns the exit code given.
  int RunLoop();

  // --- From the player's thread. ----------------------------------------------
  // Runs a step that is not a call, and waits for it.
  StepResult RunStep(const ui::ScriptStep& step);
  // Starts a call; CallDone() turns true once the command has returned (and
  // its name line is logged).
  bool StartCall(const ui::ScriptStep& step);
  bool CallDone() const { return callDone_.load(); }
  const StepResult& CallResult() const { return callResult_; }
  // Waits until the thread has handled everything posted to it before and
  // pumps messages again; false when it does not within `timeoutMs`.
  bool Settle(DWORD timeoutMs);
  void Quit(int exitCode);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  StepResult doStep(const ui::ScriptStep& step);
  void doCall(const ui::ScriptStep& step);

  SessionOutput& output_;
  HMODULE plugin_;
  HostLibrary& host_;
  StandinExtras extras_;
  HWND window_ = nullptr;
  HANDLE markerEvent_ = nullptr;
  std::atomic<long> markerSent_{0};
  std::atomic<long> markerSeen_{0};
  std::atomic<bool> callDone_{true};
  StepResult stepResult_;
  StepResult callResult_;
  QelHandle file_ = 0;
  char name_[dz::kNameWidth] = {};
};

// The commands the host calls, with the arguments each takes.
struct CommandShape {
  int ordinal;
  bool takesHandle;
  bool takesName;
};
const CommandShape* FindCommandShape(int ordinal);

}  // namespace dz::qelhost
