// The shell's file operation, for FO_COPY of one file and FO_DELETE.
#pragma once

#include "win32/types.h"

inline constexpr UINT FO_MOVE = 1;
inline constexpr UINT FO_COPY = 2;
inline constexpr UINT FO_DELETE = 3;
inline constexpr UINT FO_RENAME = 4;

inline constexpr WORD FOF_MULTIDESTFILES = 0x0001;
inline constexpr WORD FOF_SILENT = 0x0004;
inline constexpr WORD FOF_NOCONFIRMATION = 0x0010;
inline constexpr WORD FOF_ALLOWUNDO = 0x0040;
inline constexpr WORD FOF_NOCONFIRMMKDIR = 0x0200;
inline constexpr WORD FOF_NOERRORUI = 0x0400;

struct SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  LPCSTR pFrom;  // names, each NUL-terminated, ended by an empty name
  LPCSTR pTo;    // likewise; for FO_COPY of one file, the target file itself
  WORD fFlags;
  BOOL fAnyOperationsAborted;
  LPVOID hNameMappings;
  LPCSTR lpszProgressTitle;
};

// Returns 0 on success. FO_COPY creates missing destination folders (with their
// parents) and replaces an existing file (with FOF_NOCONFIRMATION), writing through
// a temporary name so that a failed copy leaves no half file. Unless FOF_NOERRORUI
// is set, a failure is reported through win32::Report with the path and the
// system's reason, owned by hwnd. Deliberately differs: no confirmation questions
// are ever asked (the installer always passes FOF_NOCONFIRMATION), nothing goes
// to a recycle bin, FO_DELETE deletes files but refuses folders, only FO_COPY of
// files and FO_DELETE are done (other functions return ERROR_INVALID_PARAMETER),
// and FOF_SILENT changes nothing since there is no progress window. A copy whose
// target is an existing folder is refused (Windows would copy into the folder,
// and the installer's deletion that follows would then hit that folder).
//
// Reports have the caption "ファイルのコピー エラー" or "ファイルの削除 エラー" and
// texts such as "C:\WINDOWS\WIN.INI を D:\Games\KWIX.INI にコピーできません: Read-only
// file system" or "D:\Games\KWIX.INI を削除できません: No such file or directory".
int SHFileOperationA(SHFILEOPSTRUCTA* operation);
