// Forms: TForm, built from a stored description or blank (CreateNew).
//
// A form class of the program derives from TForm and calls LoadDescription in its
// constructor with the resource name and its bindings:
//
//   TForm2::TForm2(vcl::TComponent* owner) : vcl::TForm(owner) {
//     LoadDescription("TFORM2", vcl::FormBindings()
//         .Handler("FormShow", [this](vcl::TObject* s) { FormShow(s); })
//         .Component("Label1", Label1));
//   }
//
// LoadDescription builds the components, stores them in the fields (a name missing
// from the description, or of another class, throws), binds the handlers named by
// the description (a missing handler throws), and then raises OnCreate.
//
// Behaviour relied on by the program:
// - Show makes the form visible, brings it to the front and activates it (OnShow
//   just before it becomes visible). Activation raises OnActivate when the form
//   was not already the active form; an activation that arrives while the form's
//   OnActivate is still running raises nothing.
// - ShowModal shows the form modal to the whole application and runs a nested
//   loop until ModalResult is nonzero; a close request gives mrCancel, and so
//   does the end of the application. The form is then hidden and the form that
//   was active before is activated again.
// - Keys: Enter presses the focused button, else the Default button; Escape
//   presses the Cancel button. Tab walks the controls by TabOrder.
// - Close: a modal form gets mrCancel; the main form ends the application; any
//   other form is hidden.
// - Release destroys the form when an event loop next runs (a nested one too).
// - Update paints the form now; Hide hides it and keeps it.
// - poScreenCenter centres the form on the first showing only.
// - bsDialog with empty BorderIcons has no close box; bsNone has no frame.
#pragma once

#include <memory>
#include <string>

#include "vcl/controls.h"
#include "vcl/form_bindings.h"
#include "vcl/graphics.h"

class QEventLoop;

namespace vcl {

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// BorderIcons flags.
inline constexpr int biSystemMenu = 1;
inline constexpr int biMinimize = 2;
inline constexpr int biMaximize = 4;
inline constexpr int biHelp = 8;

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

struct CreateNewTag {};
inline constexpr CreateNewTag CreateNew{};

namespace internal { class FormWidget; }  // the Qt window behind a form
using internal::FormWidget;

class TForm : public TWinControl {
 public:
  // A blank form without stored description (VCL's CreateNew), hidden, with the
  // default look: caption empty, bsSizeable, poDesigned. Build its controls in
  // code with the form as owner and parent.
  TForm(TComponent* owner, CreateNewTag);
  ~TForm() override;

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  // Left/Top: the outer frame's position on the screen; Width/Height: the outer
  // size. On a form without border they equal the client area.
  void SetLeft(int left) override;
  void SetTop(int top) override;
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  int Width() const override;
  int Height() const override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  int BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(int icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TFont* Font() { return &font_; }
  TCanvas* Canvas() { return &canvas_; }

  void Show();
  void Hide();
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result);
  void Close();
  void Release();
  void SetFocus() override;
  void Update();
  void SetVisible(bool visible) override;
  bool Active() const;

  // The control that has (or will get) the focus on this form.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);

  TNotifyEvent OnCreate;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;
  void BeforeDestruction() override;

  // For the form library.
  void DoActivate();
  void DoDeactivate();
  void DoPaint();
  void HandleCloseRequest();
  bool HandleDialogKey(int key);
  bool IsModal() const { return modalLoop_ != nullptr; }

 protected:
  // For form classes of the program, which then call LoadDescription.
  explicit TForm(TComponent* owner);
  // Reads the stored description resourceName (":/" + name in the resources),
  // builds the components and binds them; then raises OnCreate. Throws
  // EResNotFound for a missing or malformed description.
  void LoadDescription(const std::string& resourceName, const FormBindings& bindings);

 private:
  void Construct();
  void ApplyWindowFlags();
  void ApplyFont();
  void ApplyFixedSize();
  void PlaceForShowing();
  void FocusFirstControl();
  void ApplyTabOrder();
  FormWidget* Window() const;

  AnsiString caption_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  int borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  TFont font_;
  TCanvas canvas_;
  int modalResult_ = mrNone;
  QEventLoop* modalLoop_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  bool shownOnce_ = false;
  bool inActivate_ = false;
  bool destroying_ = false;
};

}  // namespace vcl
