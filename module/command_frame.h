// The frame every command runs in: the library's module state current for
// the whole command, the caller's state current again on every way out, and
// nothing thrown across to the host. The work gets the module's context.
#pragma once

#include <functional>

#include "module/module_state.h"

namespace dz::module {

// Runs `work` inside the frame. Without an attached context (the module was
// not loaded properly) nothing runs. An exception that reaches the frame is
// handed to the context's unexpectedFailure and goes no further.
void RunCommandFrame(const std::function<void(ModuleContext&)>& work) noexcept;

}  // namespace dz::module
