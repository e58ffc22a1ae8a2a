// The installation sequence: member code of TForm1, compiled with the forms.
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "vcl/ansi_string.h"
#include "vcl/windows.h"

void TForm1::FormActivate(vcl::TObject* /*Sender*/) {
  if (installStarted_) return;
  installStarted_ = true;
  Form2->Label1->SetCaption(vcl::AnsiString(PackageName) + vcl::Ansi(" をインストールします。"));
  Form2->Label3->SetCaption(vcl::Ansi("※このパスの下に ") + vcl::AnsiString(PackageName) +
                            vcl::Ansi(" フォルダが作成されます。"));
  vcl::SetForegroundWindow(Handle());
  RunInstall();
  Close();
}

void TForm1::RunInstall() {}
