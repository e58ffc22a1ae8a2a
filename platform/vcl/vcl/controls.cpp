#include "vcl/controls.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>

#include "vcl/form_description.h"
#include "vcl/forms.h"

namespace vcl {

struct ControlImpl {
  QPointer<QWidget> widget;
};

TControl::TControl(TComponent* owner) : TComponent(owner), impl_(std::make_unique<ControlImpl>()) {}

TControl::~TControl() {
  if (parent_ != nullptr) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  delete impl_->widget.data();
}

void TControl::AttachWidget(QWidget* widget) { impl_->widget = widget; }

QWidget* TControl::Widget() const { return impl_->widget.data(); }

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  QWidget* widget = Widget();
  if (widget == nullptr) return;
  const QRect geometry = widget->geometry();
  widget->setParent(parent != nullptr ? parent->Widget() : nullptr);
  widget->setGeometry(geometry);
  if (parent != nullptr) {
    parent->controls_.push_back(this);
    widget->setVisible(visible_);
  }
}

int TControl::Left() const { return Widget() != nullptr ? Widget()->x() : 0; }
int TControl::Top() const { return Widget() != nullptr ? Widget()->y() : 0; }
int TControl::Width() const { return Widget() != nullptr ? Widget()->width() : 0; }
int TControl::Height() const { return Widget() != nullptr ? Widget()->height() : 0; }

void TControl::SetLeft(int left) {
  if (Widget() != nullptr) Widget()->move(left, Widget()->y());
}
void TControl::SetTop(int top) {
  if (Widget() != nullptr) Widget()->move(Widget()->x(), top);
}
void TControl::SetWidth(int width) {
  if (Widget() != nullptr) Widget()->resize(std::max(width, 0), Widget()->height());
}
void TControl::SetHeight(int height) {
  if (Widget() != nullptr) Widget()->resize(Widget()->width(), std::max(height, 0));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

void TControl::SetVisible(bool visible) {
  visible_ = visible;
  if (Widget() != nullptr && parent_ != nullptr) Widget()->setVisible(visible);
}

bool TControl::Enabled() const { return Widget() == nullptr || Widget()->isEnabled(); }

void TControl::SetEnabled(bool enabled) {
  if (Widget() != nullptr) Widget()->setEnabled(enabled);
}

TForm* TControl::ParentForm() {
  TControl* control = this;
  while (control != nullptr) {
    if (auto* form = dynamic_cast<TForm*>(control)) return form;
    control = control->Parent();
  }
  return nullptr;
}

namespace {

bool IsTrue(const FormValue& value) {
  return value.kind == FormValue::Kind::Identifier && value.text == "True";
}

}  // namespace

bool TControl::ReadProperty(const FormProperty& property, const FormBindings& /*bindings*/) {
  const std::string& name = property.name;
  const FormValue& value = property.value;
  if (name == "Left") SetLeft(static_cast<int>(value.integer));
  else if (name == "Top") SetTop(static_cast<int>(value.integer));
  else if (name == "Width") SetWidth(static_cast<int>(value.integer));
  else if (name == "Height") SetHeight(static_cast<int>(value.integer));
  else if (name == "Visible") SetVisible(IsTrue(value));
  else if (name == "Enabled") SetEnabled(IsTrue(value));
  // Looks that the platform gives: the desktop's colours and the parent's font.
  else if (name == "Color" || name == "ParentFont" || name == "ParentColor" ||
           name == "ParentShowHint" || name == "ShowHint" || name == "Hint" ||
           name == "HelpContext") {
  } else {
    return false;
  }
  return true;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), handle_{this} {}

TWinControl::~TWinControl() {
  // A form must not keep focusing a control that is gone.
  if (TWinControl* parent = Parent()) {
    if (TForm* form = parent->ParentForm(); form != nullptr && form->ActiveControl() == this) {
      form->SetActiveControl(nullptr);
    }
  }
  for (TControl* control : controls_) control->parent_ = nullptr;
  controls_.clear();
}

void TWinControl::SetFocus() {
  TForm* form = ParentForm();
  if (form == nullptr || form == this) return;
  form->SetActiveControl(this);
}

bool TWinControl::Focused() const { return Widget() != nullptr && Widget()->hasFocus(); }

bool TWinControl::CanFocus() const { return Widget() != nullptr && Widget()->isEnabled() && Visible(); }

void TWinControl::SetTabOrder(int order) { tabOrder_ = order; }

void TWinControl::SetTabStop(bool stop) {
  tabStop_ = stop;
  if (Widget() != nullptr && Widget()->focusPolicy() != Qt::NoFocus) {
    Widget()->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

bool TWinControl::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  if (property.name == "TabOrder") {
    SetTabOrder(static_cast<int>(property.value.integer));
  } else if (property.name == "TabStop") {
    SetTabStop(IsTrue(property.value));
  } else {
    return TControl::ReadProperty(property, bindings);
  }
  return true;
}

void TWinControl::CollectTabChain(std::vector<TWinControl*>& chain) {
  std::vector<TWinControl*> children;
  for (TControl* control : controls_) {
    if (auto* child = dynamic_cast<TWinControl*>(control)) children.push_back(child);
  }
  // Controls without a tab order follow the others in the order they were added.
  std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
    const int ka = a->TabOrder() < 0 ? 1 << 30 : a->TabOrder();
    const int kb = b->TabOrder() < 0 ? 1 << 30 : b->TabOrder();
    return ka < kb;
  });
  for (TWinControl* child : children) {
    if (!child->Visible()) continue;
    if (child->CanFocus() && child->TabStop()) chain.push_back(child);
    child->CollectTabChain(chain);
  }
}

TForm* FormFromHandle(HWND handle) {
  if (handle == nullptr || handle->control == nullptr) return nullptr;
  return handle->control->ParentForm();
}

}  // namespace vcl
