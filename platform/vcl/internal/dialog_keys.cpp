#include "internal/dialog_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "internal/form_widget.h"
#include "vcl/forms.h"

namespace vcl::internal {
namespace {

class DialogKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyEvent->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
    if ((keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    // Only the focused widget's own delivery counts: the key then propagates to
    // its parents, which must not press the button a second time.
    QWidget* window = widget->window();
    if (widget != window->focusWidget() && widget != window) return false;
    auto* form = dynamic_cast<FormWidget*>(window);
    if (form == nullptr || form->form() == nullptr) return false;
    return form->form()->HandleDialogKey(key == Qt::Key_Escape ? 0x1B : 0x0D);
  }
};

}  // namespace

void InstallDialogKeys() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  qApp->installEventFilter(new DialogKeyFilter(qApp));
}

}  // namespace vcl::internal
