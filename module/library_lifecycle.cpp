#include "module/library_lifecycle.h"

namespace dz::module {
namespace {

template <typename F>
void quietly(const F& step) noexcept {
  try {
    if (step) step();
  } catch (...) {
    // Undoing goes on: one failed step must not leave the others done.
  }
}

}  // namespace

bool LoadLibraryModule(const LibrarySteps& steps) noexcept {
  ModuleStateScope state(LibraryModuleState());
  bool instance = false, application = false, registered = false;
  try {
    instance = steps.initInstance();
    if (instance) application = steps.initApplication();
    if (instance && application) {
      const ModuleContext context = steps.registerLibrary();
      registered = true;
      AttachModule(context);
      return true;
    }
  } catch (...) {
  }
  // A step failed: what came before it is undone, the application's exit
  // included once its initialisation was tried.
  if (registered) quietly(steps.unregisterLibrary);
  if (instance) quietly(steps.exitApplication);
  quietly(steps.termInstance);
  return false;
}

void UnloadLibraryModule(const LibrarySteps& steps) noexcept {
  ModuleStateScope state(LibraryModuleState());
  quietly(steps.exitApplication);
  quietly(steps.termInstance);
  quietly([] { DetachModule(); });
  quietly(steps.unregisterLibrary);
}

}  // namespace dz::module
