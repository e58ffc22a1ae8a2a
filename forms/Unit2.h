// Unit2: the destination dialog, TForm2.
#pragma once

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TForm2 : public vcl::TForm {
 public:
  explicit TForm2(vcl::TComponent* Owner);

  vcl::TLabel* Label1 = nullptr;
  vcl::TGroupBox* GroupBox1 = nullptr;
  vcl::TEdit* Edit1 = nullptr;
  vcl::TLabel* Label2 = nullptr;
  vcl::TButton* Button1 = nullptr;
  vcl::TButton* Button2 = nullptr;
  vcl::TButton* Button3 = nullptr;
  vcl::TCheckBox* CheckBox1 = nullptr;
  vcl::TLabel* Label3 = nullptr;

  void FormShow(vcl::TObject* Sender);
  void Button1Click(vcl::TObject* Sender);
  void Button2Click(vcl::TObject* Sender);
};

extern TForm2* Form2;
