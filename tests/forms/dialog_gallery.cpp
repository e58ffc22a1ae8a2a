// Shows the backdrop and one dialog with the texts of a real run, for the
// screenshots of tools/screenshots.sh: dialog_gallery backdrop|destination|status|
// completion|prompt [seconds]. Runs in a folder that holds a "Setup.dat".
#include <QTimer>

#include <cstdlib>
#include <string>

#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/Unit5.h"
#include "vcl/application.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string which = argv[1];
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 4;
  vcl::Application->Initialize();
  vcl::Application->CreateForm(Form1);
  vcl::Application->CreateForm(Form2);
  vcl::Application->CreateForm(Form3);
  Form1->OnActivate = nullptr;  // no installation: only the look
  Form1->Show();
  Form1->Update();
  Form2->Label1->SetCaption(vcl::AnsiString(Form1->PackageName) + vcl::Ansi(" をインストールします。"));
  Form2->Label3->SetCaption(vcl::Ansi("※このパスの下に ") + vcl::AnsiString(Form1->PackageName) +
                            vcl::Ansi(" フォルダが作成されます。"));
  Form2->Edit1->SetText("C:\\Program Files\\Korvane\\Tavolin");
  QTimer::singleShot(seconds * 1000, [] { vcl::Application->Terminate(); });
  if (which == "destination") {
    Form2->ShowModal();
  } else if (which == "status") {
    Form3->Label1->SetCaption(vcl::Ansi("ファイルの結合中です ..."));
    Form3->Show();
    Form3->Update();
  } else if (which == "completion") {
    Form4 = new TForm4(Form1);
    Form4->ShowModal();
  } else if (which == "prompt") {
    Form5 = new TForm5(Form1);
    Form5->Label1->SetCaption(vcl::Ansi("2 枚目のディスクをセットしてください"));
    Form5->ShowModal();
  }
  vcl::Application->Run();
  vcl::DoneApplication();
  return 0;
}
