// The process entry: WinMain, then the application object's orderly end.
#include "app/Setup.h"
#include "vcl/application.h"
#include "vcl/exception.h"

int main() {
  // The command line is not read: the installer takes no options.
  char noCommandLine[] = "";
  int status = 0;
  try {
    status = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
  } catch (const vcl::ENoDisplay&) {
    // Said on standard error already; the exit status is 0 on every path.
  }
  vcl::DoneApplication();
  return status;
}
