// The host's side of qelhost, on its user-interface thread: a message-only
// window through which the script's player asks for the host's steps (open a
// feature file, hand over a point name, call a command by ordinal, commit,
// dump: session/host_steps.h, as `dobrenz run` plays them) and marks how far
// the thread has come. A command runs inside the window's message handler,
// so the plug-in's modal dialogs run their loops on this thread, as they do
// in the host.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "host/callconv.h"
#include "host/host_library.h"
#include "qelhost/session_output.h"
#include "session/host_steps.h"
#include "session/session_script.h"

namespace dz::qelhost {

// The stand-in engine's extras that the host program reads.
struct StandinExtras : session::EngineReadout {
  using TextFn = const char*(DZ_CALLCONV*)();
  using DumpFn = const char*(DZ_CALLCONV*)(int16_t);
  DumpFn dumpJson = nullptr;
  TextFn lastOpenError = nullptr;
  TextFn takeProblems = nullptr;
  // From the loaded stand-in QelBlk60.dll; false when it lacks them.
  bool Load(std::string& error);

  std::string LastOpenError() const override { return lastOpenError(); }
  bool DumpJson(QelHandle file, std::string& json) const override;
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
  session::SessionOutcome RunStep(const session::ScriptStep& step);
  // Starts a call; CallDone() turns true once the command has returned (and
  // its name line is logged).
  bool StartCall(const session::ScriptStep& step);
  bool CallDone() const { return callDone_.load(); }
  const session::SessionOutcome& CallResult() const { return callResult_; }
  // Waits until the thread has handled everything posted to it before and
  // pumps messages again; false when it does not within `timeoutMs`.
  bool Settle(DWORD timeoutMs);
  void Quit(int exitCode);

 private:
  // Calls the plug-in's exports by ordinal.
  class PluginCaller : public session::CommandCaller {
   public:
    explicit PluginCaller(HMODULE plugin) : plugin_(plugin) {}
    std::string Unavailable(const session::Command& command) override;
    session::SessionOutcome Call(const session::ScriptStep& step, const session::Command& command, int handle,
                                 char* name12) override;

   private:
    HMODULE plugin_;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  StandinExtras extras_;
  PluginCaller caller_;
  session::HostSteps steps_;
  HWND window_ = nullptr;
  HANDLE markerEvent_ = nullptr;
  std::atomic<long> markerSent_{0};
  std::atomic<long> markerSeen_{0};
  std::atomic<bool> callDone_{true};
  session::SessionOutcome stepResult_;
  session::SessionOutcome callResult_;
};

}  // namespace dz::qelhost
