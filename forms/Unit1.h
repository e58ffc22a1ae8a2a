// Unit1: the backdrop, TForm1, the main window; it holds the installation state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vcl/forms.h"
#include "vcl/graphics.h"

class TForm1 : public vcl::TForm {
 public:
  explicit TForm1(vcl::TComponent* Owner);
  ~TForm1() override;

  // The installation state, all zero when the form is created.
  std::unique_ptr<vcl::TBitmap> PaletteBitmap;  // only its palette is used
  char SourceDir[260] = {};    // the running program's folder, ending with "\"
  char TargetDir[260] = {};    // InstallBase joined with PackageName
  char PackageName[260] = {};  // line 1 of "Setup.dat"
  char ArchivePath[260] = {};  // the archive handed to the archiver
  std::int32_t VolumeCount = 0;  // 0: one archive; n: n volumes

  void FormCreate(vcl::TObject* Sender);
  void FormPaint(vcl::TObject* Sender);
  void FormDestroy(vcl::TObject* Sender);
  void FormActivate(vcl::TObject* Sender);

  // The installation and its stages (engine/RunInstall.cpp, JoinVolumes.cpp,
  // ExtractArchive.cpp, RegisterStartMenuGroup.cpp).
  void RunInstall();
  bool JoinVolumes();
  bool ExtractArchive();
  void RegisterStartMenuGroup();

 private:
  // The installer's own failure box (text in CP932), over the backdrop.
  void ShowInstallError(const std::string& text);

  // The installation starts on the first activation only, including when that
  // activation was abandoned by an error.
  bool installStarted_ = false;
};

extern TForm1* Form1;
