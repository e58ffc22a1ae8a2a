// The Win32 user calls that need the screen, and the message box constants.
#pragma once

#include "win32/types.h"

namespace vcl {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

// SM_CXSCREEN / SM_CYSCREEN: the primary screen's size in device-independent
// pixels (96 per inch, which the desktop scales); 0 for other indices.
int GetSystemMetrics(int index);

// Brings the form of the handle to the front and makes it the active form.
// FALSE for a null or unknown handle.
BOOL SetForegroundWindow(HWND window);

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONSTOP;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDRETRY = 4;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Win32's MessageBoxA: text and caption are CP932; owner may be null (the active
// form then). Returns IDOK etc.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);

}  // namespace vcl
