// The process entry: WinMain, then the application object's orderly end.
#include "app/Setup.h"
#include "vcl/application.h"

int main() {
  // The command line is not read: the installer takes no options.
  char noCommandLine[] = "";
  const int status = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
  vcl::DoneApplication();
  return status;
}
