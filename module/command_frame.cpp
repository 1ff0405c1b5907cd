#include "module/command_frame.h"

#include <exception>

namespace dz::module {
namespace {

void report(ModuleContext& context, const char* what) noexcept {
  try {
    if (context.unexpectedFailure) context.unexpectedFailure(what);
  } catch (...) {
    // The report is the last thing the frame does; nothing may leave it.
  }
}

}  // namespace

void RunCommandFrame(const std::function<void(ModuleContext&)>& work) noexcept {
  ModuleState& state = LibraryModuleState();
  ModuleStateScope scope(state);
  if (!state.attached) return;
  try {
    work(state.context);
  } catch (const std::exception& e) {
    report(state.context, e.what());
  } catch (...) {
    report(state.context, "an exception that is not a std::exception");
  }
}

}  // namespace dz::module
