// Loading and unloading of the library, in the order the classic framework
// gives an extension library, with the library's own module state current
// throughout and the caller's state current again afterwards:
//   load:   the library's instance (the framework's instance initialisation),
//           the application object's initialisation, the registration that
//           makes its resources findable and binds its module context;
//   unload: the application's exit, the instance's termination, the
//           registration's removal.
// A failed step undoes the steps before it and fails the load. The Windows
// library's DllMain runs these with the real steps; tests run them with
// recording ones.
#pragma once

#include <functional>

#include "module/module_state.h"

namespace dz::module {

struct LibrarySteps {
  std::function<bool()> initInstance;
  std::function<void()> termInstance;
  std::function<bool()> initApplication;
  std::function<void()> exitApplication;
  // Registers the library's resources and gives the context its commands
  // work with (the host's libraries and the user-interface services).
  std::function<ModuleContext()> registerLibrary;
  std::function<void()> unregisterLibrary;
};

// Process attach: true when the library is loaded. Nothing is thrown.
bool LoadLibraryModule(const LibrarySteps& steps) noexcept;
// Process detach. Nothing is thrown.
void UnloadLibraryModule(const LibrarySteps& steps) noexcept;

}  // namespace dz::module
