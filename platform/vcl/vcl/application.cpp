#include "vcl/application.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "internal/gui.h"
#include "internal/message_box.h"
#include "internal/qt_text.h"
#include "vcl/forms.h"
#include "vcl/windows.h"
#include "win32/codepage.h"

namespace vcl {
namespace {

// The program file's name without folder and extension, every letter after the
// first in lower case.
AnsiString TitleFromProgramFile() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string name = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "Setup";
  name = name.substr(name.find_last_of('/') + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  auto cp932 = win32::Utf8ToCp932(name);
  std::string title = cp932 ? *cp932 : name;
  for (std::size_t i = 0; i < title.size();) {
    const auto c = static_cast<unsigned char>(title[i]);
    if (win32::IsCp932LeadByte(c)) {
      i += 2;  // a double-byte character stays as it is
      continue;
    }
    if (i > 0 && c < 0x80) title[i] = static_cast<char>(std::tolower(c));
    ++i;
  }
  return AnsiString(title);
}

// Receives the release requests of forms, from whichever event loop runs next.
class ReleaseEvent : public QEvent {
 public:
  explicit ReleaseEvent(TForm* form) : QEvent(Type()), form_(form) {}
  static QEvent::Type Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  TForm* form() const { return form_; }

 private:
  TForm* form_;
};

class ReleaseReceiver : public QObject {
 public:
  using QObject::QObject;

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() != ReleaseEvent::Type()) return;
    TForm* form = static_cast<ReleaseEvent*>(event)->form();
    internal::Guarded([form] { Application->HandleRelease(form); });
  }
};

QObject* Receiver() {
  static QObject* receiver = nullptr;
  if (receiver == nullptr) {
    receiver = new ReleaseReceiver(qApp);
    QObject::connect(receiver, &QObject::destroyed, [] { receiver = nullptr; });
  }
  return receiver;
}

bool gRunningLoop = false;

}  // namespace

void TIcon::LoadFromResourceName(HINSTANCE /*instance*/, const AnsiString& name) {
  name_ = name;
  if (internal::GuiExists()) {
    QApplication::setWindowIcon(QIcon(":/" + QString::fromStdString(name.bytes())));
  }
}

TApplication::TApplication() : TComponent(nullptr), title_(TitleFromProgramFile()) {}

TApplication::~TApplication() {
  // Destroying windows during the process's exit, after Qt's own globals may be
  // gone, is not safe; DoneApplication does it in order. What is left is left.
  if (internal::GuiExists()) AbandonComponents();
}

void TApplication::Initialize() { internal::EnsureGui(); }

void TApplication::SetTitle(const AnsiString& title) { title_ = title; }

void TApplication::FormCreated(TForm* form) {
  if (mainForm_ == nullptr) mainForm_ = form;
}

void TApplication::FormDestroying(TForm* form) {
  pendingRelease_.erase(std::remove(pendingRelease_.begin(), pendingRelease_.end(), form),
                        pendingRelease_.end());
  modalForms_.erase(std::remove(modalForms_.begin(), modalForms_.end(), form), modalForms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::Run() {
  internal::EnsureGui();
  if (mainForm_ != nullptr) mainForm_->Show();
  if (!terminated_) {
    gRunningLoop = true;
    QApplication::exec();
    gRunningLoop = false;
  }
  // What was queued when the application was told to end is still handled.
  ProcessMessages();
}

void TApplication::Terminate() {
  terminated_ = true;
  for (TForm* form : std::vector<TForm*>(modalForms_)) form->SetModalResult(mrCancel);
  if (gRunningLoop) QCoreApplication::quit();
}

void TApplication::ClearTerminatedForTesting() { terminated_ = false; }

void TApplication::ProcessMessages() {
  internal::EnsureGui();
  QCoreApplication::sendPostedEvents();
  QApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::SetActiveForm(TForm* form) {
  if (form == activeForm_) return;
  TForm* previous = activeForm_;
  activeForm_ = form;
  if (previous != nullptr) previous->DoDeactivate();
  if (form != nullptr && activeForm_ == form) form->DoActivate();
}

void TApplication::WindowSystemActivated(TForm* form) {
  if (!modalForms_.empty() && modalForms_.back() != form) return;
  SetActiveForm(form);
}

void TApplication::PostRelease(TForm* form) {
  if (std::find(pendingRelease_.begin(), pendingRelease_.end(), form) != pendingRelease_.end()) {
    return;
  }
  pendingRelease_.push_back(form);
  QCoreApplication::postEvent(Receiver(), new ReleaseEvent(form));
}

void TApplication::HandleRelease(TForm* form) {
  const auto found = std::find(pendingRelease_.begin(), pendingRelease_.end(), form);
  if (found == pendingRelease_.end()) return;  // destroyed meanwhile with its owner
  pendingRelease_.erase(found);
  Free(form);
}

void TApplication::PushModal(TForm* form) { modalForms_.push_back(form); }

void TApplication::PopModal(TForm* form) {
  modalForms_.erase(std::remove(modalForms_.begin(), modalForms_.end(), form), modalForms_.end());
}

void TApplication::HandleException(TObject* /*sender*/) {
  try {
    throw;
  } catch (const Exception& error) {
    ShowException(&error);
  } catch (const std::exception& error) {
    const Exception wrapped(AnsiString(error.what()));
    ShowException(&wrapped);
  } catch (...) {
    const Exception wrapped("Unknown error");
    ShowException(&wrapped);
  }
}

void TApplication::ShowException(const Exception* error) {
  const AnsiString text = error->Message() + ".";
  if (!internal::GuiExists() && !internal::DisplayAvailable()) {
    std::fprintf(stderr, "%s: %s\n", win32::Cp932ForDisplay(title_.view()).c_str(),
                 win32::Cp932ForDisplay(text.view()).c_str());
    return;
  }
  MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
  return internal::ShowMessageBox(nullptr, internal::ToQString(caption), internal::ToQString(text),
                                  flags);
}

namespace {
TApplication theApplication;
}  // namespace

TApplication* Application = &theApplication;

void DoneApplication() {
  if (!internal::GuiExists()) return;
  Application->DestroyComponents();
  // Release requests still queued point to forms that are gone now; the
  // receiver ignores them, and the Qt application goes with them.
  internal::DestroyGui();
}

}  // namespace vcl
