// The Qt application behind the application object, made on first need.
#pragma once

#include <functional>

namespace vcl::internal {

// Creates the Qt application when it does not exist yet. Without a usable display
// it prints one line on standard error and throws ENoDisplay.
void EnsureGui();
// Whether a display (or a display-less Qt platform such as offscreen) can be used.
bool DisplayAvailable();
// True once the Qt application exists.
bool GuiExists();
// Destroys the Qt application (after every widget is gone).
void DestroyGui();

// Runs f; an exception escaping it is reported by Application->HandleException.
// Every call from a Qt event into the program's handlers goes through this, since
// no exception may cross Qt's event loop.
void Guarded(const std::function<void()>& f);

}  // namespace vcl::internal
