// Extracting the archive through the archiver: member code of TForm1.
#include "forms/Unit1.h"

bool TForm1::ExtractArchive() { return false; }
