// Registry hives: one REGEDIT4-syntax text file per root key in the prefix's
// registry/ folder (UTF-8 on disk, CP932 through these calls). A hive is read whole
// and written whole through a temporary file that is flushed and renamed over it.
// A malformed hive is reported with its file and line and never overwritten.
#pragma once

#include "win32/types.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

extern const HKEY HKEY_CURRENT_USER;
extern const HKEY HKEY_LOCAL_MACHINE;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Subkey names are relative to key, "\"-separated, compared case-insensitively.
// Results are ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such key or value),
// ERROR_MORE_DATA, ERROR_BAD_FORMAT (the hive file is malformed; the reason went to
// win32::Report) or ERROR_WRITE_FAULT (the hive could not be saved).
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className,
                     DWORD options, REGSAM access, void* security, PHKEY result,
                     DWORD* disposition);
// type, data and size may be null as in Win32. Strings come back CP932 with their
// terminator counted in *size.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type,
                      BYTE* data, DWORD* size);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                    const BYTE* data, DWORD size);
LONG RegCloseKey(HKEY key);
