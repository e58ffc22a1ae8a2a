#include "vcl/comctrls.h"

#include <QProgressBar>

#include "internal/gui.h"
#include "vcl/form_description.h"

namespace vcl {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  internal::EnsureGui();
  auto* bar = new QProgressBar();
  bar->setFocusPolicy(Qt::NoFocus);
  bar->setTextVisible(false);
  AttachWidget(bar);
  Apply();
}

void TProgressBar::SetMin(int value) {
  min_ = value;
  Apply();
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  Apply();
}

void TProgressBar::SetPosition(int value) {
  position_ = value;
  Apply();
}

void TProgressBar::Apply() {
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
  auto* bar = static_cast<QProgressBar*>(Widget());
  bar->setRange(min_, max_);
  bar->setValue(position_);
}

bool TProgressBar::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  const int value = static_cast<int>(property.value.integer);
  if (property.name == "Min") SetMin(value);
  else if (property.name == "Max") SetMax(value);
  else if (property.name == "Position") SetPosition(value);
  else return TWinControl::ReadProperty(property, bindings);
  return true;
}

}  // namespace vcl
