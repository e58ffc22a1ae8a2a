// The project unit Setup: the program's entry.
#include "app/Setup.h"

#include <exception>

#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "vcl/application.h"
#include "vcl/exception.h"
#include "vcl/windows.h"
#include "win32/codepage.h"
#include "win32/kernel.h"
#include "win32/synch.h"

namespace {

// Two installers at once would join into the same temporary archive and extract
// over each other; the second one says so and ends. The lock is held until the
// entry returns, on every path.
class SetupLock {
 public:
  SetupLock() : handle_(CreateMutexA(nullptr, TRUE, "Setup")) {
    heldByAnother_ = handle_ != nullptr && GetLastError() == static_cast<DWORD>(ERROR_ALREADY_EXISTS);
  }
  ~SetupLock() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  SetupLock(const SetupLock&) = delete;
  SetupLock& operator=(const SetupLock&) = delete;
  bool HeldByAnother() const { return heldByAnother_; }

 private:
  HANDLE handle_;
  bool heldByAnother_ = false;
};

}  // namespace

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    // The bare relative name: the description is looked for in the current
    // directory, never beside the program.
    if (!FileExists("Setup.dat")) return 0;
    const SetupLock lock;
    if (lock.HeldByAnother()) {
      vcl::Application->MessageBox(win32::Ansi("セットアップは既に実行中です。"), win32::Ansi("セットアップ"),
                                   vcl::MB_OK | vcl::MB_ICONSTOP);
      return 0;
    }
    vcl::Application->Initialize();
    vcl::Application->CreateForm(Form1);
    vcl::Application->CreateForm(Form2);
    vcl::Application->CreateForm(Form3);
    vcl::Application->Run();
  } catch (const vcl::Exception& exception) {
    vcl::Application->ShowException(&exception);
  } catch (const std::exception& exception) {
    const vcl::Exception wrapped{vcl::AnsiString(exception.what())};
    vcl::Application->ShowException(&wrapped);
  }
  return 0;
}
