// The installation sequence: member code of the backdrop form TForm1.
#include <string>

#include "engine/append_path.h"
#include "engine/messages.h"
#include "engine/setup_description.h"
#include "engine/text_buffer.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "vcl/application.h"
#include "vcl/registry.h"
#include "vcl/windows.h"
#include "win32/codepage.h"
#include "win32/kernel.h"

using engine::AppendPath;
using engine::CopyText;
using engine::TextOf;

void TForm1::FormActivate(vcl::TObject* /*sender*/) {
  // The backdrop is activated again each time a dialog closes; only the first
  // activation installs.
  if (installStarted_) return;
  installStarted_ = true;

  const std::string name(TextOf(PackageName));
  Form2->Label1->SetCaption(name + win32::Ansi(" をインストールします。"));
  Form2->Label3->SetCaption(win32::Ansi("※このパスの下に ") + name +
                            win32::Ansi(" フォルダが作成されます。"));
  vcl::SetForegroundWindow(Handle());
  try {
    RunInstall();
  } catch (const vcl::Exception& error) {
    // A registry value of the wrong type ends the installation. The error is
    // reported as every handler's error is, and the backdrop, which has no close
    // box, still closes, so the program ends instead of covering the screen.
    vcl::Application->ShowException(&error);
  }
  Close();
}

void TForm1::RunInstall() {
  // A description that cannot be installed is refused before anything is asked
  // or written: a negative or out-of-range count, or a name that is no folder name.
  if (VolumeCount < 0) {
    ShowInstallError(engine::InvalidDescriptionMessage(engine::InvalidCountDetail(std::to_string(VolumeCount))));
    return;
  }
  if (PackageName[0] != '\0' && !engine::IsUsablePackageName(TextOf(PackageName))) {
    ShowInstallError(engine::InvalidDescriptionMessage(engine::InvalidNameDetail()));
    return;
  }

  // The folder of the running program, with its separator: the archives lie there.
  char modulePath[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
  if (length == 0 || length >= sizeof modulePath ||
      !CopyText(SourceDir, ExtractFilePath(std::string_view(modulePath, length)))) {
    ShowInstallError(engine::PathTooLongMessage(std::string_view(modulePath, length)));
    return;
  }

  char proposal[MAX_PATH] = {};
  {
    vcl::TRegistry registry;
    registry.OpenKey("Software\\Korvane\\Tavolin", true);
    const vcl::AnsiString myPath = registry.ReadString("MyPath");
    if (!CopyText(proposal, myPath.c_str())) {
      ShowInstallError(engine::PathTooLongMessage(myPath.c_str()));
      return;
    }
    if (proposal[0] == '\0') {
      registry.SetRootKey(HKEY_LOCAL_MACHINE);
      registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false);
      const vcl::AnsiString programFiles = registry.ReadString("ProgramFilesDir");
      if (!CopyText(proposal, programFiles.c_str()) || !AppendPath(proposal, "Korvane\\Tavolin")) {
        ShowInstallError(engine::PathTooLongMessage((programFiles + "\\Korvane\\Tavolin").c_str()));
        return;
      }
    }
    Form2->Edit1->SetText(proposal);
  }

  if (Form2->ShowModal() != vcl::mrOk) return;

  const vcl::AnsiString installBase = Form2->Edit1->Text();
  if (!CopyText(TargetDir, installBase.c_str()) || !AppendPath(TargetDir, PackageName)) {
    ShowInstallError(engine::PathTooLongMessage((installBase + "\\" + vcl::AnsiString(PackageName)).c_str()));
    return;
  }

  if (VolumeCount != 0 && !JoinVolumes()) return;
  if (!ExtractArchive()) return;

  Update();
  Form3->Label1->SetCaption(win32::Ansi("インストール中です..."));
  Form3->Show();
  Form3->Update();
  if (Form2->CheckBox1->Checked()) RegisterStartMenuGroup();
  SetFocus();
  Form3->Hide();
  vcl::SetForegroundWindow(Handle());

  Form4 = new TForm4(this);
  Form4->ShowModal();
  Form4->Release();
}

void TForm1::ShowInstallError(const std::string& text) {
  vcl::Application->MessageBox(text, engine::SetupCaption(), vcl::MB_OK | vcl::MB_ICONSTOP);
}
