// Where the layer's own error reports go: the stand-in for the shell's error
// boxes. The form library installs a message box; until then, standard error.
#pragma once

#include <functional>
#include <string>

#include "win32/types.h"

namespace win32 {

// owner may be null. caption and text are UTF-8.
using ReportHook =
    std::function<void(HWND owner, const std::string& caption, const std::string& text)>;

// An empty hook restores the default, which writes "caption: text" to standard error.
void SetReportHook(ReportHook hook);
void Report(HWND owner, const std::string& caption, const std::string& text);

}  // namespace win32
