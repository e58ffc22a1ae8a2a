// The Win32 error code that stands for a POSIX errno value.
#pragma once

#include "win32/types.h"

namespace win32 {

DWORD Win32ErrorFromErrno(int errnum);

}  // namespace win32
