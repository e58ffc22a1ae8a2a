// Joining the volumes of a split package: member code of TForm1.
#include "forms/Unit1.h"

bool TForm1::JoinVolumes() { return false; }
