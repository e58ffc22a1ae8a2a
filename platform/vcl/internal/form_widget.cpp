#include "internal/form_widget.h"

#include <QCloseEvent>
#include <QPainter>

#include "internal/gui.h"
#include "vcl/application.h"
#include "vcl/forms.h"

namespace vcl::internal {

FormWidget::FormWidget(TForm* form) : QWidget(nullptr, Qt::Window), form_(form) {}

void FormWidget::paintEvent(QPaintEvent* /*event*/) {
  if (form_ == nullptr) return;
  QPainter painter(this);
  TForm* form = form_;
  form->Canvas()->BeginPaint(&painter);
  Guarded([form] { form->DoPaint(); });
  form->Canvas()->EndPaint();
}

void FormWidget::closeEvent(QCloseEvent* event) {
  // The form decides: a modal form ends its loop, the main form ends the
  // application, another form hides. Qt must not hide or destroy it on its own.
  event->ignore();
  if (form_ == nullptr) return;
  TForm* form = form_;
  Guarded([form] { form->HandleCloseRequest(); });
}

void FormWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || form_ == nullptr) return;
  // The window system activated this window (the user switched to it).
  if (isActiveWindow() && isVisible()) Application->WindowSystemActivated(form_);
}

}  // namespace vcl::internal
