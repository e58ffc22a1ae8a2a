#include "forms/Unit3.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(vcl::TComponent* Owner) : vcl::TForm(Owner) {
  LoadDescription("TFORM3", vcl::FormBindings().Component("Label1", Label1));
}
