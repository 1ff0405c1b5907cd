#include "ui/ui_services.h"

namespace ui {
namespace {
thread_local UiServices* tCurrentServices = nullptr;
}

UiServices* CurrentServices() { return tCurrentServices; }

ServicesScope::ServicesScope(UiServices* services) : previous_(tCurrentServices) { tCurrentServices = services; }

ServicesScope::~ServicesScope() { tCurrentServices = previous_; }

}  // namespace ui
