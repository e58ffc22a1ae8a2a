// The project unit Setup: the program's entry.
#include "app/Setup.h"

#include <exception>

#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "vcl/application.h"
#include "vcl/exception.h"
#include "win32/kernel.h"

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    // The bare relative name: the description is looked for in the current
    // directory, never beside the program.
    if (!FileExists("Setup.dat")) return 0;
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
