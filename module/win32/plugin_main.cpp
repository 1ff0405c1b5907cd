// DobrenzData.dll: loading and unloading. The host loads the library and
// calls its five commands by ordinal (commands.cpp; the export table is
// res/DobrenzData.def). Loading sets up, in this order and with the
// library's module state current: the library's instance, its application
// object, and the registration that lets its commands find the dialog
// templates of this library (the Windows backend over this module's
// resources, bound with the host's libraries into the module context).
// Unloading undoes it in reverse. Nothing is thrown across DllMain.
#include <windows.h>

#include <memory>
#include <string>

#include "host/win32/imported_host_library.h"
#include "module/module_state.h"
#include "ui/win32/win32_backend.h"

namespace {

// The library's application object: one static instance, made without an
// application name, so its name is the module's file name ("DobrenzData"),
// which titles its message boxes. Its initialisation and exit always succeed.
class CDobrenzDataApp {
 public:
  CDobrenzDataApp() = default;
  virtual ~CDobrenzDataApp() = default;

  bool InitInstance(HINSTANCE instance) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    std::wstring name(path, n < MAX_PATH ? n : 0);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    appName_ = name.empty() ? L"DobrenzData" : name;
    return true;
  }
  int ExitInstance() { return 0; }
  const std::wstring& AppName() const { return appName_; }

 private:
  std::wstring appName_;
};

CDobrenzDataApp theApp;

// What loading registers, released by unloading.
struct Registration {
  Registration(HINSTANCE instance, const std::wstring& appName) : backend(instance, appName) {}
  dz::ImportedHostLibrary host;
  ui::win32::Win32Backend backend;
};

HINSTANCE gInstance = nullptr;
std::unique_ptr<Registration> gRegistration;

bool attachProcess(HINSTANCE instance) {
  dz::module::ModuleStateScope state(dz::module::LibraryModuleState());
  gInstance = instance;
  if (!theApp.InitInstance(instance)) {
    theApp.ExitInstance();
    gInstance = nullptr;
    return false;
  }
  gRegistration = std::make_unique<Registration>(instance, theApp.AppName());
  dz::module::ModuleContext context;
  context.host = &gRegistration->host;
  context.ui = *gRegistration->backend.Services();
  dz::module::AttachModule(context);
  return true;
}

void detachProcess() {
  dz::module::ModuleStateScope state(dz::module::LibraryModuleState());
  theApp.ExitInstance();
  gInstance = nullptr;
  dz::module::DetachModule();
  gRegistration.reset();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH: return attachProcess(instance) ? TRUE : FALSE;
      case DLL_PROCESS_DETACH: detachProcess(); return TRUE;
      default: return TRUE;  // threads keep no state of this library
    }
  } catch (...) {
    return FALSE;
  }
}
