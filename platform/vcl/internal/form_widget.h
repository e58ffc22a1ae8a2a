// The top-level Qt window of a TForm.
#pragma once

#include <QWidget>

namespace vcl {
class TForm;
}

namespace vcl::internal {

// Raises and activates a top-level window where the platform can.
void BringToFront(QWidget* window);

class FormWidget : public QWidget {
 public:
  explicit FormWidget(TForm* form);
  // nullptr once the form is being destroyed.
  TForm* form() const { return form_; }
  void Detach() { form_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  TForm* form_;
};

}  // namespace vcl::internal

namespace vcl {
using internal::FormWidget;
}
