#include "forms/Unit5.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(vcl::TComponent* Owner) : vcl::TForm(Owner) {
  LoadDescription("TFORM5", vcl::FormBindings().Component("Label1", Label1).Component("Button1", Button1).Component("Button2", Button2));
}
