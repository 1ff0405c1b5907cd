#include "qelhost/host_side.h"

#include "host/callconv.h"
#include "ui/session_log.h"

namespace dz::qelhost {
namespace {

constexpr UINT kMarkerMessage = WM_APP + 1;  // wParam: the marker's number
constexpr UINT kStepMessage = WM_APP + 2;    // lParam: const ScriptStep*
constexpr UINT kCallMessage = WM_APP + 3;    // lParam: const ScriptStep*
constexpr UINT kQuitMessage = WM_APP + 4;    // wParam: exit code

constexpr CommandShape kCommands[] = {
    {10, false, false}, {20, false, false}, {30, false, false}, {40, true, false}, {50, true, true},
};

using Command = void(DZ_CALLCONV*)();
using HandleCommand = void(DZ_CALLCONV*)(int);
using HandleNameCommand = void(DZ_CALLCONV*)(int, char*);

StepResult failed(int exitCode, std::string message) { return {exitCode, std::move(message)}; }

}  // namespace

const CommandShape* FindCommandShape(int ordinal) {
  for (const CommandShape& c : kCommands)
    if (c.ordinal == ordinal) return &c;
  return nullptr;
}

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

HostSide::HostSide(SessionOutput& output, HMODULE plugin, HostLibrary& host, const StandinExtras& extras)
    : output_(output), plugin_(plugin), host_(host), extras_(extras) {
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
      self->stepResult_ = self->doStep(*reinterpret_cast<const ui::ScriptStep*>(lParam));
      return 1;
    case kCallMessage:
      self->doCall(*reinterpret_cast<const ui::ScriptStep*>(lParam));
      return 0;
    case kQuitMessage:
      PostQuitMessage(static_cast<int>(wParam));
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

StepResult HostSide::RunStep(const ui::ScriptStep& step) {
  if (SendMessageW(window_, kStepMessage, 0, reinterpret_cast<LPARAM>(&step)) != 1)
    return failed(1, "the host's window does not answer");
  return stepResult_;
}

StepResult HostSide::doStep(const ui::ScriptStep& step) {
  switch (step.kind) {
    case ui::ScriptStep::Kind::Open: {
      const QelHandle h = host_.OpenFeatureFile(step.text.c_str());
      if (h <= 0) return failed(1, "cannot open " + step.utf8 + ": " + extras_.lastOpenError());
      file_ = h;
      return {};
    }
    case ui::ScriptStep::Kind::Name:
      dz::copyFieldFrom(name_, dz::kNameWidth, step.text.data());
      return {};
    case ui::ScriptStep::Kind::Commit:
      if (file_ <= 0) return failed(2, "commit needs an open file: open one first");
      host_.CommitFeatureFile(file_);
      return {};
    case ui::ScriptStep::Kind::Dump: {
      const char* json = file_ > 0 ? extras_.dumpJson(file_) : nullptr;
      if (!json) return failed(2, "dump needs an open file: open one first");
      std::string text = json;
      if (!text.empty() && text.back() == '\n') text.pop_back();
      output_.Line(text);
      return {};
    }
    case ui::ScriptStep::Kind::Call:
      break;
  }
  return failed(2, "a call is not a host step");
}

bool HostSide::StartCall(const ui::ScriptStep& step) {
  callDone_.store(false);
  callResult_ = {};
  if (!PostMessageW(window_, kCallMessage, 0, reinterpret_cast<LPARAM>(&step))) {
    callDone_.store(true);
    return false;
  }
  return true;
}

void HostSide::doCall(const ui::ScriptStep& step) {
  const CommandShape* shape = FindCommandShape(step.ordinal);
  FARPROC entry = GetProcAddress(plugin_, MAKEINTRESOURCEA(step.ordinal));
  const std::string label = "command " + std::to_string(step.ordinal);
  if (!shape || !entry) {
    callResult_ = failed(2, label + " is not exported by the plug-in");
  } else if (shape->takesHandle && file_ <= 0) {
    callResult_ = failed(2, label + " works on the host's open file: open one first");
  } else {
    void* address = reinterpret_cast<void*>(entry);
    if (shape->takesName) reinterpret_cast<HandleNameCommand>(address)(file_, name_);
    else if (shape->takesHandle) reinterpret_cast<HandleCommand>(address)(file_);
    else reinterpret_cast<Command>(address)();
    if (shape->takesName) output_.Line(ui::LogName(name_));
  }
  callDone_.store(true);
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
