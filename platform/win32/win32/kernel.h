// The Win32 kernel calls and runtime-library file calls the installer uses, over
// POSIX and the prefix. Paths are CP932 Windows paths. Every call that writes into
// a caller's buffer takes the buffer's size and never writes past it.
#pragma once

#include <string>
#include <string_view>

#include "win32/types.h"

// The program's own path as a Windows path (through dosdevices/z: or a drive that
// holds it). hModule must be null. Returns the length written without the
// terminator; 0 on failure, and size when the path was cut to fit (as Windows does,
// with ERROR_INSUFFICIENT_BUFFER); the caller treats a result >= size as too long.
DWORD GetModuleFileNameA(HINSTANCE hModule, LPSTR buffer, DWORD size);

// "C:\WINDOWS\TEMP\". Returns the length without terminator, or the size needed
// (terminator included) when the buffer is too small, writing nothing then.
DWORD GetTempPathA(DWORD size, LPSTR buffer);

// "C:\WINDOWS". Returns the length without terminator, or the size needed
// (terminator included) when the buffer is too small, writing nothing then.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);

// The 8.3 form of an existing path. Returns the length without terminator, the size
// needed when the buffer is too small, or 0 when the path does not exist.
// Deliberately differs: a relative path gives the full short path, drive included.
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);

// Deletes a file (not a folder). FALSE on failure, with GetLastError set.
BOOL DeleteFileA(LPCSTR path);

// Creates one folder. FALSE on failure (ERROR_ALREADY_EXISTS when it exists).
BOOL CreateDirectoryA(LPCSTR path, void* securityAttributes);

DWORD GetLastError();
void SetLastError(DWORD error);

int lstrlenA(LPCSTR text);

// Deliberately differs from Win32: lstrcpyA and lstrcatA take the destination's
// size, and return nullptr (writing nothing) when the result would not fit.
LPSTR lstrcpyA(LPSTR destination, DWORD size, LPCSTR source);
LPSTR lstrcatA(LPSTR destination, DWORD size, LPCSTR source);

// Deliberately differs from Win32: takes the destination's size. Understands what
// the installer formats: %s, %d, %03d-style zero-padded widths, and %%; also %i,
// %u, %x, %X, %c, "-" for left alignment and a precision for %s. "l" and "h" are
// accepted and change nothing (int and long are both 32 bits on Windows). Returns the
// length written without the terminator, or -1 (writing an empty string) when the
// result would not fit.
int wsprintfA(LPSTR destination, DWORD size, LPCSTR format, ...);

// The old file calls. _lcreat creates or truncates (attribute 0: a normal file) and
// returns HFILE_ERROR on failure; _lwrite returns the count written or
// HFILE_ERROR (as UINT); _lclose returns 0 or HFILE_ERROR.
HFILE _lcreat(LPCSTR path, int attribute);
UINT _lwrite(HFILE file, LPCSTR buffer, UINT count);
HFILE _lclose(HFILE file);

// Starts a program detached, with no console window, and does not wait. The first
// word of the command is the program; a bare name is looked for in the running
// program's folder, the current directory, the Windows directory, then PATH.
// Returns a value above 31 on success, as Windows does; ERROR_FILE_NOT_FOUND (2)
// when the program is not found, or another value up to 31 when it cannot start.
// Double quotes group words. Deliberately differs: the show command is ignored
// (there is no console window to hide); standard input and output are /dev/null,
// standard error is kept.
UINT WinExec(LPCSTR commandLine, UINT showCommand);

// The runtime library's FileExists: true only for an existing file, not a folder.
bool FileExists(std::string_view windowsPath);

// The runtime library's ExtractFilePath: the path up to and including its last
// "\" or ":" (a 0x5C that is the second byte of a double-byte character does not
// count); empty when there is none.
std::string ExtractFilePath(std::string_view windowsPath);
