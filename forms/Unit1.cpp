#include "forms/Unit1.h"

#include "engine/setup_description.h"
#include "engine/text_buffer.h"
#include "vcl/windows.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(vcl::TComponent* Owner) : vcl::TForm(Owner) {
  LoadDescription("TFORM1", vcl::FormBindings()
                                .Handler("FormCreate", [this](vcl::TObject* s) { FormCreate(s); })
                                .Handler("FormPaint", [this](vcl::TObject* s) { FormPaint(s); })
                                .Handler("FormDestroy", [this](vcl::TObject* s) { FormDestroy(s); })
                                .Handler("FormActivate", [this](vcl::TObject* s) { FormActivate(s); }));
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(vcl::TObject* /*Sender*/) {
  SetLeft(0);
  SetTop(0);
  SetWidth(vcl::GetSystemMetrics(vcl::SM_CXSCREEN));
  SetHeight(vcl::GetSystemMetrics(vcl::SM_CYSCREEN));
  PaletteBitmap = std::make_unique<vcl::TBitmap>();
  PaletteBitmap->LoadFromResourceName(vcl::HInstance, "PAL");
  const engine::SetupDescription description = engine::ReadSetupDescription("Setup.dat");
  // The reader never gives more than 259 bytes, so the copy always fits.
  engine::CopyText(PackageName, description.PackageName);
  VolumeCount = description.VolumeCount;
}

void TForm1::FormPaint(vcl::TObject* /*Sender*/) {
  vcl::HDC dc = Canvas()->Handle();
  vcl::SelectPalette(dc, PaletteBitmap != nullptr ? PaletteBitmap->Palette() : nullptr, FALSE);
  vcl::RealizePalette(dc);
  for (int i = 0; i < 200; ++i) {
    const int height = ClientHeight();
    const int width = ClientWidth();
    const vcl::TRect band = vcl::Rect(0, height * i / 200, width, height * (i + 1) / 200);
    Canvas()->Brush()->SetColor(0x02FF0000 + 257 * i);
    Canvas()->FillRect(band);
  }
}

void TForm1::FormDestroy(vcl::TObject* /*Sender*/) { PaletteBitmap.reset(); }
