// The program's entry, the Windows GUI entry point. Its arguments are not used;
// it returns 0 on every path.
#pragma once

#include "win32/types.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
