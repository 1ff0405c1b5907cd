#include "qelhost/host_side.h"

#include "session/command_table.h"

namespace dz::qelhost {
namespace {

constexpr UINT kMarkerMessage = WM_APP + 1;  // wParam: the marker's number
constexpr UINT kStepMessage = WM_APP + 2;    // lParam: const ScriptStep*
constexpr UINT kCallMessage = WM_APP + 3;    // lParam: const ScriptStep*
constexpr UINT kQuitMessage = WM_APP + 4;    // wParam: exit code

}  // namespace

bool StandinExtras::Load(std::string& error) {
  HMODULE blk = GetModuleHandleW(L"QelBlk60.dll");
  if (!blk) {
    error = "QelBlk60.dll is not loaded";
    return false;
  }
  dumpJson = reinterpret_cast<DumpFn>(reinterpret_cast<void*>(GetProcAddress(blk, "Standin_DumpJson")));
  lastOpenError = reinterpret_cast<TextFn>(reinterpret_cast<void*>(GetProcAddress(blk, "Standin_LastOpenError")));
  takeProblems = reinterpret_cast<TextFn>(reinterpret_cast<void*>(GetProcAddress(blk, "Standin_TakeProblems")));
  if (!dumpJson || !lastOpenError || !takeProblems) {
    error = "QelBlk60.dll is not the stand-in library (its Standin_ exports are missing)";
    return false;
  }
  return true;
}

bool StandinExtras::DumpJson(QelHandle file, std::string& json) const {
  const char* text = dumpJson(file);
  if (!text) return false;
  json = text;
  return true;
}

std::string HostSide::PluginCaller::Unavailable(const session::Command& command) {
  return GetProcAddress(plugin_, MAKEINTRESOURCEA(command.ordinal)) ? std::string() : "is not exported by the plug-in";
}

session::SessionOutcome HostSide::PluginCaller::Call(const session::ScriptStep&, const session::Command& command,
                                                     int handle, char* name12) {
  FARPROC entry = GetProcAddress(plugin_, MAKEINTRESOURCEA(command.ordinal));
  session::CallEntryPoint(command, reinterpret_cast<void*>(entry), handle, name12);
  return {};
}

HostSide::HostSide(SessionOutput& output, HMODULE plugin, HostLibrary& host, const StandinExtras& extras)
    : extras_(extras), caller_(plugin), steps_(host, extras_, [&output](const std::string& line) { output.Line(line); }) {
  markerEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

HostSide::~HostSide() {
  if (window_) DestroyWindow(window_);
  if (markerEvent_) CloseHandle(markerEvent_);
}

bool HostSide::Create() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &HostSide::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QelHostWindow";
  RegisterClassW(&wc);
  window_ = CreateWindowExW(0, wc.lpszClassName, L"qelhost", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
  return window_ != nullptr;
}

int HostSide::RunLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK HostSide::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostSide*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case kMarkerMessage:
      self->markerSeen_.store(static_cast<long>(wParam));
      SetEvent(self->markerEvent_);
      return 0;
    case kStepMessage:
      self->stepResult_ = self->steps_.Play(*reinterpret_cast<const session::ScriptStep*>(lParam), self->caller_);
      return 1;
    case kCallMessage:
      self->callResult_ = self->steps_.Play(*reinterpret_cast<const session::ScriptStep*>(lParam), self->caller_);
      self->callDone_.store(true);
      return 0;
    case kQuitMessage:
      PostQuitMessage(static_cast<int>(wParam));
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

session::SessionOutcome HostSide::RunStep(const session::ScriptStep& step) {
  if (SendMessageW(window_, kStepMessage, 0, reinterpret_cast<LPARAM>(&step)) != 1)
    return {1, step.line, "the host's window does not answer"};
  return stepResult_;
}

bool HostSide::StartCall(const session::ScriptStep& step) {
  callDone_.store(false);
  callResult_ = {};
  if (!PostMessageW(window_, kCallMessage, 0, reinterpret_cast<LPARAM>(&step))) {
    callDone_.store(true);
    return false;
  }
  return true;
}

bool HostSide::Settle(DWORD timeoutMs) {
  const long marker = ++markerSent_;
  if (!PostMessageW(window_, kMarkerMessage, static_cast<WPARAM>(marker), 0)) return false;
  const DWORD start = GetTickCount();
  while (markerSeen_.load() < marker) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= timeoutMs) return false;
    WaitForSingleObject(markerEvent_, timeoutMs - waited);
  }
  return true;
}

void HostSide::Quit(int exitCode) { PostMessageW(window_, kQuitMessage, static_cast<WPARAM>(exitCode), 0); }

}  // namespace dz::qelhost
