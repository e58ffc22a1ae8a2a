// Builds the backdrop in the current directory on whatever screen Qt gives, and
// reports what the tests need: the screen's metrics, the form's geometry, and the
// window's grabbed image (saved to the PNG named by the first argument).
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

#include "forms/Unit1.h"
#include "vcl/application.h"
#include "vcl/windows.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  vcl::Application->Initialize();
  auto* form = new TForm1(nullptr);
  std::printf("screen %d %d\n", vcl::GetSystemMetrics(vcl::SM_CXSCREEN),
              vcl::GetSystemMetrics(vcl::SM_CYSCREEN));
  std::printf("form %d %d %d %d client %d %d\n", form->Left(), form->Top(), form->Width(),
              form->Height(), form->ClientWidth(), form->ClientHeight());
  std::printf("package %s count %d\n", form->PackageName, form->VolumeCount);
  const bool saved = form->Widget()->grab().toImage().save(QString::fromLocal8Bit(argv[1]));
  vcl::Free(form);
  vcl::DoneApplication();
  return saved ? 0 : 3;
}
