// The module state: what a command of this library works with (the host's
// feature library and the user-interface services) and the switch that makes
// the library's own state current for a command and gives the caller's back
// on every way out. Whoever loads the module sets its context: `dobrenz run`
// natively, the library's process attach in the Windows build.
#pragma once

#include <functional>
#include <string>

#include "host/host_library.h"
#include "ui/ui_services.h"

namespace dz::module {

struct ModuleContext {
  HostLibrary* host = nullptr;
  ui::UiServices ui;
  // Told about an exception that reached a command's frame (what it said),
  // which the frame does not let through to the host.
  std::function<void(const std::string& what)> unexpectedFailure;
};

class ModuleState {
 public:
  ModuleContext context;
  bool attached = false;
};

// The library's own state (one per library, like the framework's static
// module state), and the state current on this thread (null: none).
ModuleState& LibraryModuleState();
ModuleState* CurrentModuleState();

// Makes `state` current on this thread, its user-interface services with it,
// and restores the previous state when it goes out of scope, however that
// happens.
class ModuleStateScope {
 public:
  explicit ModuleStateScope(ModuleState& state);
  ~ModuleStateScope();
  ModuleStateScope(const ModuleStateScope&) = delete;
  ModuleStateScope& operator=(const ModuleStateScope&) = delete;

 private:
  ModuleState* previous_;
  ui::ServicesScope services_;
};

// Loading and unloading: the context is set with the library's state
// current, and the caller's state is current again afterwards.
void AttachModule(const ModuleContext& context);
void DetachModule();

// Attached for the lifetime of the object.
class ModuleAttachment {
 public:
  explicit ModuleAttachment(const ModuleContext& context) { AttachModule(context); }
  ~ModuleAttachment() { DetachModule(); }
  ModuleAttachment(const ModuleAttachment&) = delete;
  ModuleAttachment& operator=(const ModuleAttachment&) = delete;
};

}  // namespace dz::module
