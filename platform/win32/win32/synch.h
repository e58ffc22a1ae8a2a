// Named mutexes, for one running installer per prefix.
#pragma once

#include "win32/types.h"

// Creates or opens the named mutex. When another process holds a mutex of that
// name, the handle is still returned and GetLastError gives ERROR_ALREADY_EXISTS,
// as on Windows. Returns nullptr on failure.
//
// Deliberately differs: a named mutex is a lock file in the prefix's "locks"
// folder, held (flock) from creation until CloseHandle or the end of the process,
// whatever initialOwner says; unnamed mutexes are not supported.
HANDLE CreateMutexA(void* securityAttributes, BOOL initialOwner, LPCSTR name);

BOOL CloseHandle(HANDLE handle);
