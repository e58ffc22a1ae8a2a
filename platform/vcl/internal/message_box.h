// Message boxes (Win32's MessageBox on Qt).
#pragma once

#include <QString>

#include "win32/types.h"

class QWidget;

namespace vcl::internal {

// A modal message box owned by the owner's form (else the active form); flags as
// Win32's MessageBox. Returns IDOK, IDCANCEL, IDYES, IDNO or IDRETRY.
int ShowMessageBox(HWND owner, const QString& caption, const QString& text, UINT flags);

// The widget of a window handle's form, or of the active form; nullptr if none is
// visible.
QWidget* OwnerWidget(HWND owner);

}  // namespace vcl::internal
