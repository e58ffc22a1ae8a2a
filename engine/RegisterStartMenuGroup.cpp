// Registering the Start-menu group: member code of TForm1.
#include "forms/Unit1.h"

void TForm1::RegisterStartMenuGroup() {}
