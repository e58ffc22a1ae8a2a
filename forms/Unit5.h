// Unit5: the volume prompt dialog, TForm5.
#pragma once

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TForm5 : public vcl::TForm {
 public:
  explicit TForm5(vcl::TComponent* Owner);

  vcl::TLabel* Label1 = nullptr;
  vcl::TButton* Button1 = nullptr;
  vcl::TButton* Button2 = nullptr;
};

extern TForm5* Form5;
