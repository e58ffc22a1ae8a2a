// The dialog keys of every form: Enter, Escape (and Tab order, set by the form).
#pragma once

namespace vcl::internal {

// Installs, once, the filter that gives Enter and Escape to the form of the
// window that receives them, before the focused control sees them.
void InstallDialogKeys();

}  // namespace vcl::internal
