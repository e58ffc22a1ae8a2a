// The archiver's own windows: the progress window with its "キャンセル" button and
// the message box for failures, both owned by the caller's window. Built with the
// form library; nothing else of the archiver needs a display.
#pragma once

#include <memory>

#include "unlha32/observer.h"
#include "win32/types.h"

namespace unlha32 {

std::unique_ptr<ExtractionObserver> MakeProgressWindow(HWND owner);
std::unique_ptr<FailureReporter> MakeMessageBoxReporter(HWND owner);

}  // namespace unlha32
