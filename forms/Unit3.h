// Unit3: the status dialog, shown around a stretch of work, TForm3.
#pragma once

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TForm3 : public vcl::TForm {
 public:
  explicit TForm3(vcl::TComponent* Owner);

  vcl::TLabel* Label1 = nullptr;
};

extern TForm3* Form3;
