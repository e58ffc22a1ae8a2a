// The standard controls: TLabel, TEdit, TButton, TCheckBox, TGroupBox.
// Each can be built in code: new TLabel(owner), SetParent(form), SetBounds(...).
#pragma once

#include "vcl/controls.h"

namespace vcl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// One line of text, never wrapped. With AutoSize false a text wider than the label
// is cut off at its edges (centred text on both). Deliberately differs: "&" is
// shown as it is, not as an accelerator.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

 private:
  void Fit();
  AnsiString caption_;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
};

// A one-line edit box. Deliberately differs: ImeName is accepted and ignored (the
// desktop's input method framework chooses the input method).
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  // The text as CP932. Throws Exception when the user typed a character that code
  // page 932 cannot hold.
  AnsiString Text() const;
  void SetText(const AnsiString& text);
  // 0: no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

 private:
  int maxLength_ = 0;
};

// A push button. A click (mouse, Space, Enter when focused or Default, Escape when
// Cancel, its "&" accelerator) first sets the form's ModalResult to the button's
// ModalResult, then runs OnClick.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  void Click();
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

  TNotifyEvent OnClick;

 private:
  AnsiString caption_;
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  bool Checked() const;
  void SetChecked(bool checked);
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

  TNotifyEvent OnClick;

 private:
  AnsiString caption_;
};

// A frame around other controls, whose coordinates are relative to the frame's
// top-left corner. An empty caption gives a frame without a title.
class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  bool CanFocus() const override { return false; }
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

 private:
  AnsiString caption_;
};

}  // namespace vcl
