#include "vcl/windows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "internal/form_widget.h"
#include "internal/gui.h"
#include "internal/message_box.h"
#include "internal/qt_text.h"
#include "vcl/application.h"
#include "vcl/forms.h"

namespace vcl {

int GetSystemMetrics(int index) {
  if (index != SM_CXSCREEN && index != SM_CYSCREEN) return 0;
  internal::EnsureGui();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 0;
  return index == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
}

BOOL SetForegroundWindow(HWND window) {
  TForm* form = FormFromHandle(window);
  if (form == nullptr) return FALSE;
  if (form->Visible()) {
    internal::BringToFront(form->Widget());
  }
  Application->SetActiveForm(form);
  return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
  return internal::ShowMessageBox(owner, internal::ToQString(AnsiString(caption)),
                                  internal::ToQString(AnsiString(text)), flags);
}

}  // namespace vcl
