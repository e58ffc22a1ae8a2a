// The application object. `Application` exists before main; the Qt application
// behind it is created only when first needed (Initialize, the first form, a
// message box, the screen's metrics), so a program that ends early needs no
// display. Without a usable display that creation prints one line on standard
// error and throws ENoDisplay, which the program's main turns into status 0.
#pragma once

#include <vector>

#include "vcl/classes.h"
#include "vcl/exception.h"
#include "win32/types.h"

namespace vcl {

class TForm;

// The application's icon; by default the resource "MAINICON".
class TIcon {
 public:
  void LoadFromResourceName(HINSTANCE instance, const AnsiString& name);
  const AnsiString& ResourceName() const { return name_; }

 private:
  AnsiString name_ = "MAINICON";
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Makes sure the Qt application exists (nothing else: no initialisation hook).
  void Initialize();

  // Creates a form of class T owned by the application, hidden, and stores it in
  // reference. The first form created so becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    FormCreated(form);
  }

  // Shows the main form (which activates it), then handles events until the
  // application is told to end, handling what is still queued at that moment.
  void Run();
  // Ends the application: every modal loop ends with mrCancel and Run returns.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Lets a test go on with the same application after it ended one.
  void ClearTerminatedForTesting();
  // Handles the events that are waiting, then returns.
  void ProcessMessages();

  // Call from inside a catch block: reports the exception being handled with
  // ShowException (a non-Exception error by its what() text).
  void HandleException(TObject* sender);
  // A message box: the message and ".", the title as caption, stop icon, OK.
  void ShowException(const Exception* error);
  // A message box modal to the active form; flags as Win32's MessageBox (MB_OK,
  // MB_OKCANCEL, MB_YESNO, MB_ICONSTOP ...). Returns IDOK, IDCANCEL, IDYES, IDNO.
  int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);

  // The program file's name without folder and extension, letters after the first
  // in lower case ("SETUP" gives "Setup").
  const AnsiString& Title() const { return title_; }
  void SetTitle(const AnsiString& title);
  TIcon* Icon() { return &icon_; }

  TForm* MainForm() const { return mainForm_; }
  TForm* ActiveForm() const { return activeForm_; }

  // For the form library.
  void FormCreated(TForm* form);
  void FormDestroying(TForm* form);
  void SetActiveForm(TForm* form);
  // The window system activated form's window. While a modal form is open only
  // that form can be activated; the window system's late reports of earlier
  // activations are ignored then.
  void WindowSystemActivated(TForm* form);
  void PostRelease(TForm* form);
  void HandleRelease(TForm* form);
  void PushModal(TForm* form);
  void PopModal(TForm* form);

 private:
  AnsiString title_;
  TIcon icon_;
  TForm* mainForm_ = nullptr;
  TForm* activeForm_ = nullptr;
  std::vector<TForm*> pendingRelease_;
  std::vector<TForm*> modalForms_;
  bool terminated_ = false;
};

extern TApplication* Application;

// Destroys the forms the application owns and then the Qt application. main calls
// it after WinMain; it is harmless to call twice.
void DoneApplication();

}  // namespace vcl
