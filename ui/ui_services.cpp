#include "ui/ui_services.h"

#include "base/thread_pointer.h"

namespace dz::ui {
namespace {
dz::ThreadPointer& currentServices() {
  static dz::ThreadPointer current;
  return current;
}
}  // namespace

UiServices* CurrentServices() { return static_cast<UiServices*>(currentServices().get()); }

ServicesScope::ServicesScope(UiServices* services) : previous_(CurrentServices()) { currentServices().set(services); }

ServicesScope::~ServicesScope() { currentServices().set(previous_); }

}  // namespace dz::ui
