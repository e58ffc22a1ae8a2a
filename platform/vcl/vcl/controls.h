// Controls: TControl (a rectangle on a parent) and TWinControl (one that can take
// the focus or hold other controls), and the window handle HWND.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vcl/classes.h"
#include "win32/types.h"

class QWidget;

namespace vcl {

class TWinControl;
class TForm;
struct FormProperty;
class FormBindings;

// The window handle of a TWinControl: Handle() gives a pointer to the control's
// HWND__, so a handle maps back to its control (and its form, FormFromHandle).
}  // namespace vcl

struct HWND__ {
  vcl::TWinControl* control;
};

namespace vcl {

struct ControlImpl;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // Puts the control on parent (nullptr takes it off), keeping its geometry.
  virtual void SetParent(TWinControl* parent);

  virtual int Left() const;
  virtual int Top() const;
  virtual int Width() const;
  virtual int Height() const;
  virtual void SetLeft(int left);
  virtual void SetTop(int top);
  virtual void SetWidth(int width);
  virtual void SetHeight(int height);
  void SetBounds(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // The form this control is on (itself for a form), or nullptr.
  TForm* ParentForm();

  // For the form library: the Qt widget behind the control.
  QWidget* Widget() const;
  // Applies one property of a stored description; false when the class has no
  // such property. Events are looked up in bindings.
  virtual bool ReadProperty(const FormProperty& property, const FormBindings& bindings);

 protected:
  // Takes ownership of the widget (created by the subclass, without parent).
  void AttachWidget(QWidget* widget);

 private:
  friend class TWinControl;
  std::unique_ptr<ControlImpl> impl_;
  TWinControl* parent_ = nullptr;
  bool visible_ = true;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle() { return &handle_; }

  // Gives the keyboard focus to this control. On a form that is not yet visible
  // the control becomes the form's active control and takes the focus when the
  // form is shown.
  virtual void SetFocus();
  bool Focused() const;
  virtual bool CanFocus() const;

  // Position among the controls of the same parent for Tab; -1 for none yet.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool stop);

  // The controls whose parent this is, in the order they were put on it.
  const std::vector<TControl*>& Controls() const { return controls_; }

  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

  // For the form library: the chain that Tab walks, depth first by TabOrder.
  void CollectTabChain(std::vector<TWinControl*>& chain);

 protected:
  void SetTabStopDefault(bool stop) { tabStop_ = stop; }

 private:
  friend class TControl;
  HWND__ handle_;
  std::vector<TControl*> controls_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
};

// The form of a window handle: the form itself, or the form its control is on.
// nullptr for a null or unknown handle.
TForm* FormFromHandle(HWND handle);

}  // namespace vcl
