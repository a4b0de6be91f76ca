#include "wizard_view.h"

#include <cassert>

namespace ob {

namespace {
WizardView* installedWindow = nullptr;
}

WizardView& Window() {
    assert(installedWindow != nullptr);
    return *installedWindow;
}

void InstallWindow(WizardView* window) { installedWindow = window; }

void Trace(std::string_view message) { Window().log(message); }

} // namespace ob
