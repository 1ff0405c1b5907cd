// DobrenzData.dll: loading and unloading (the commands are in commands.cpp,
// the export table in res/DobrenzData.def). The steps stand in for the
// classic framework's: the library's instance, its application object, and
// the registration that lets its commands find this library's dialog
// templates — here the Windows backend over this module's resources, bound
// with the host's libraries into the module context. Their order and the
// module-state switch around them are library_lifecycle's. Nothing is
// thrown across DllMain.
#include <windows.h>

#include <memory>
#include <string>

#include "host/win32/imported_host_library.h"
#include "module/library_lifecycle.h"
#include "ui/win32/win32_backend.h"

namespace {

// The library's application object: one static instance, made without an
// application name, so its name is the module's file name ("DobrenzData"),
// which titles its message boxes. Its initialisation and exit succeed.
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

// What the registration holds while the library is loaded.
struct Registration {
  Registration(HINSTANCE instance, const std::wstring& appName) : backend(instance, appName) {}
  dz::ImportedHostLibrary host;
  dz::ui::win32::Win32Backend backend;
};

HINSTANCE gInstance = nullptr;
std::unique_ptr<Registration> gRegistration;

dz::module::LibrarySteps librarySteps(HINSTANCE instance) {
  dz::module::LibrarySteps steps;
  steps.initInstance = [instance] {
    gInstance = instance;
    return true;
  };
  steps.termInstance = [] { gInstance = nullptr; };
  steps.initApplication = [] { return theApp.InitInstance(gInstance); };
  steps.exitApplication = [] { theApp.ExitInstance(); };
  steps.registerLibrary = [] {
    gRegistration = std::make_unique<Registration>(gInstance, theApp.AppName());
    dz::module::ModuleContext context;
    context.host = &gRegistration->host;
    context.ui = *gRegistration->backend.Services();
    return context;
  };
  steps.unregisterLibrary = [] { gRegistration.reset(); };
  return steps;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH:
        return dz::module::LoadLibraryModule(librarySteps(instance)) ? TRUE : FALSE;
      case DLL_PROCESS_DETACH:
        dz::module::UnloadLibraryModule(librarySteps(instance));
        return TRUE;
      default:
        // Threads keep no per-thread state of this library to release.
        return TRUE;
    }
  } catch (...) {
    return FALSE;
  }
}
