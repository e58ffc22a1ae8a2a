// Unit4: the completion dialog, TForm4.
#pragma once

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TForm4 : public vcl::TForm {
 public:
  explicit TForm4(vcl::TComponent* Owner);

  vcl::TLabel* Label1 = nullptr;
  vcl::TButton* Button1 = nullptr;
};

extern TForm4* Form4;
