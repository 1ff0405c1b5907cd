#include "module/module_state.h"

#include "base/thread_pointer.h"

namespace dz::module {
namespace {
ThreadPointer& currentState() {
  static ThreadPointer current;
  return current;
}
}  // namespace

ModuleState& LibraryModuleState() {
  static ModuleState state;
  return state;
}

ModuleState* CurrentModuleState() { return static_cast<ModuleState*>(currentState().get()); }

ModuleStateScope::ModuleStateScope(ModuleState& state) : previous_(CurrentModuleState()), services_(&state.context.ui) {
  currentState().set(&state);
}

ModuleStateScope::~ModuleStateScope() { currentState().set(previous_); }

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
