// The shell's folder browser: SHBrowseForFolderA, SHGetPathFromIDListA, SHGetMalloc.
//
// The browser is Qt's folder dialog (folders only), modal to the owner's form. An
// item list holds the chosen host folder; SHGetPathFromIDListA gives it as a
// Windows path of the prefix (a drive link that holds it, else Z:). Deliberately
// differs: pidlRoot, lpszTitle, lpfn, lParam and iImage are not used, and a folder
// whose name code page 932 cannot hold is refused with a message box (the browser
// then returns null, as if cancelled).
#pragma once

#include <cstdint>

#include "win32/types.h"

namespace vcl {

using LPARAM = std::intptr_t;

struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

using BFFCALLBACK = int (*)(HWND, UINT, LPARAM, LPARAM);

inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;

struct BROWSEINFOA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;
  LPSTR pszDisplayName;  // receives the folder's name, at most MAX_PATH bytes
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};

// The chosen folder's item list, or nullptr when the user cancelled.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info);

// Writes the item list's Windows path into path (MAX_PATH bytes). FALSE, with an
// empty path, when it does not fit or cannot be given as a Windows path.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);

// The shell's task allocator, which frees item lists.
class IMalloc {
 public:
  virtual ~IMalloc() = default;
  virtual void Free(void* block) = 0;
  virtual unsigned long Release() = 0;
};

// Gives the allocator; returns 0 (S_OK).
long SHGetMalloc(IMalloc** allocator);

}  // namespace vcl
