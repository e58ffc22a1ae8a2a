#include "forms/Unit4.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(vcl::TComponent* Owner) : vcl::TForm(Owner) {
  LoadDescription("TFORM4", vcl::FormBindings().Component("Label1", Label1).Component("Button1", Button1));
}
