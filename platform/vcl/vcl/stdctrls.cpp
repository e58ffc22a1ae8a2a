#include "vcl/stdctrls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <climits>

#include "internal/gui.h"
#include "internal/qt_text.h"
#include "vcl/form_bindings.h"
#include "vcl/form_description.h"
#include "vcl/forms.h"

namespace vcl {
namespace {

using internal::ToQString;

bool IsTrue(const FormValue& value) {
  return value.kind == FormValue::Kind::Identifier && value.text == "True";
}

template <class W>
W* As(const TControl* control) {
  return static_cast<W*>(control->Widget());
}

}  // namespace

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  internal::EnsureGui();
  auto* label = new QLabel();
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
  label->setFocusPolicy(Qt::NoFocus);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AttachWidget(label);
}

void TLabel::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  if (auto* label = As<QLabel>(this)) label->setText(ToQString(caption));
  Fit();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Qt::Alignment horizontal = Qt::AlignLeft;
  if (alignment == taCenter) horizontal = Qt::AlignHCenter;
  if (alignment == taRightJustify) horizontal = Qt::AlignRight;
  if (auto* label = As<QLabel>(this)) label->setAlignment(horizontal | Qt::AlignTop);
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  Fit();
}

void TLabel::Fit() {
  if (!autoSize_) return;
  if (auto* label = As<QLabel>(this)) label->resize(label->sizeHint());
}

bool TLabel::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  const FormValue& value = property.value;
  if (property.name == "Caption") {
    SetCaption(AnsiString(value.text));
  } else if (property.name == "Alignment") {
    SetAlignment(value.text == "taCenter" ? taCenter
                 : value.text == "taRightJustify" ? taRightJustify
                                                  : taLeftJustify);
  } else if (property.name == "AutoSize") {
    SetAutoSize(IsTrue(value));
  } else if (property.name == "Layout" || property.name == "ShowAccelChar" ||
             property.name == "Transparent" || property.name == "WordWrap") {
    // One line at the top of the label, always.
  } else {
    return TControl::ReadProperty(property, bindings);
  }
  return true;
}

// ---- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  internal::EnsureGui();
  auto* edit = new QLineEdit();
  edit->setMaxLength(INT_MAX);
  edit->setFocusPolicy(Qt::StrongFocus);
  AttachWidget(edit);
  SetTabStopDefault(true);
}

AnsiString TEdit::Text() const { return internal::FromQString(As<QLineEdit>(this)->text()); }

void TEdit::SetText(const AnsiString& text) { As<QLineEdit>(this)->setText(ToQString(text)); }

void TEdit::SetMaxLength(int length) {
  maxLength_ = length;
  As<QLineEdit>(this)->setMaxLength(length > 0 ? length : INT_MAX);
}

bool TEdit::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  if (property.name == "Text") {
    SetText(AnsiString(property.value.text));
  } else if (property.name == "MaxLength") {
    SetMaxLength(static_cast<int>(property.value.integer));
  } else if (property.name == "ImeName" || property.name == "ImeMode") {
    // The desktop's input method framework chooses the input method.
  } else {
    return TWinControl::ReadProperty(property, bindings);
  }
  return true;
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  internal::EnsureGui();
  auto* button = new QPushButton();
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(button, &QPushButton::clicked, [this] { internal::Guarded([this] { Click(); }); });
  AttachWidget(button);
  SetTabStopDefault(true);
}

void TButton::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  As<QPushButton>(this)->setText(ToQString(caption));
}

void TButton::SetDefault(bool value) {
  default_ = value;
  As<QPushButton>(this)->setDefault(value);
}

void TButton::Click() {
  if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  if (OnClick) OnClick(this);
}

bool TButton::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  const FormValue& value = property.value;
  if (property.name == "Caption") {
    SetCaption(AnsiString(value.text));
  } else if (property.name == "Default") {
    SetDefault(IsTrue(value));
  } else if (property.name == "Cancel") {
    SetCancel(IsTrue(value));
  } else if (property.name == "ModalResult") {
    SetModalResult(static_cast<int>(value.integer));
  } else if (property.name == "OnClick") {
    OnClick = bindings.HandlerNamed(value.text);
  } else {
    return TWinControl::ReadProperty(property, bindings);
  }
  return true;
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  internal::EnsureGui();
  auto* box = new QCheckBox();
  box->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(box, &QCheckBox::clicked, [this] {
    internal::Guarded([this] {
      if (OnClick) OnClick(this);
    });
  });
  AttachWidget(box);
  SetTabStopDefault(true);
}

void TCheckBox::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  As<QCheckBox>(this)->setText(ToQString(caption));
}

bool TCheckBox::Checked() const { return As<QCheckBox>(this)->isChecked(); }

void TCheckBox::SetChecked(bool checked) { As<QCheckBox>(this)->setChecked(checked); }

bool TCheckBox::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  const FormValue& value = property.value;
  if (property.name == "Caption") {
    SetCaption(AnsiString(value.text));
  } else if (property.name == "Checked") {
    SetChecked(IsTrue(value));
  } else if (property.name == "State") {
    SetChecked(value.text == "cbChecked");
  } else if (property.name == "OnClick") {
    OnClick = bindings.HandlerNamed(value.text);
  } else {
    return TWinControl::ReadProperty(property, bindings);
  }
  return true;
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  internal::EnsureGui();
  auto* box = new QGroupBox();
  box->setFocusPolicy(Qt::NoFocus);
  AttachWidget(box);
}

void TGroupBox::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  As<QGroupBox>(this)->setTitle(ToQString(caption));
}

bool TGroupBox::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  if (property.name == "Caption") {
    SetCaption(AnsiString(property.value.text));
    return true;
  }
  return TWinControl::ReadProperty(property, bindings);
}

}  // namespace vcl
