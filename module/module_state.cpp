#include "module/module_state.h"

namespace dz::module {
namespace {
thread_local ModuleState* tCurrentState = nullptr;
}

ModuleState& LibraryModuleState() {
  static ModuleState state;
  return state;
}

ModuleState* CurrentModuleState() { return tCurrentState; }

ModuleStateScope::ModuleStateScope(ModuleState& state) : previous_(tCurrentState), services_(&state.context.ui) {
  tCurrentState = &state;
}

ModuleStateScope::~ModuleStateScope() { tCurrentState = previous_; }

void AttachModule(const ModuleContext& context) {
  ModuleState& state = LibraryModuleState();
  ModuleStateScope scope(state);
  state.context = context;
  state.attached = true;
}

void DetachModule() {
  ModuleState& state = LibraryModuleState();
  ModuleStateScope scope(state);
  state.attached = false;
  state.context = ModuleContext{};
}

}  // namespace dz::module
