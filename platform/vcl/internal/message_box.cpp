#include "internal/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "internal/gui.h"
#include "vcl/application.h"
#include "vcl/forms.h"
#include "vcl/windows.h"

namespace vcl::internal {
namespace {

QMessageBox::Icon IconOf(UINT flags) {
  switch (flags & 0xF0) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct Choice {
  QMessageBox::StandardButton button;
  int id;
};

std::vector<Choice> ChoicesOf(UINT flags) {
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
  }
}

}  // namespace

QWidget* OwnerWidget(HWND owner) {
  TForm* form = FormFromHandle(owner);
  if (form == nullptr) form = Application->ActiveForm();
  if (form == nullptr || form->Widget() == nullptr || !form->Widget()->isVisible()) return nullptr;
  return form->Widget();
}

int ShowMessageBox(HWND owner, const QString& caption, const QString& text, UINT flags) {
  EnsureGui();
  const std::vector<Choice> choices = ChoicesOf(flags);
  QMessageBox::StandardButtons buttons;
  for (const Choice& choice : choices) buttons |= choice.button;
  QMessageBox box(IconOf(flags), caption, text, buttons, OwnerWidget(owner));
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(choices.front().button);
  const auto cancel = std::find_if(choices.begin(), choices.end(),
                                   [](const Choice& c) { return c.id == IDCANCEL || c.id == IDNO; });
  box.setEscapeButton(cancel != choices.end() ? cancel->button : choices.front().button);
  const int pressed = box.exec();
  for (const Choice& choice : choices) {
    if (pressed == choice.button) return choice.id;
  }
  // Closed without a button: the escape button's answer, as Win32 gives.
  return cancel != choices.end() ? cancel->id : choices.front().id;
}

}  // namespace vcl::internal
