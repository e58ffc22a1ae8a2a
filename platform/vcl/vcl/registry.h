// TRegistry over the registry hives of the Win32 layer.
#pragma once

#include "vcl/ansi_string.h"
#include "win32/registry.h"

namespace vcl {

class TRegistry {
 public:
  // RootKey HKEY_CURRENT_USER, no key open.
  TRegistry();
  // Closes the open key.
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return rootKey_; }
  // Switches the root and closes the key that was open.
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return currentKey_; }

  // Opens key (relative to the root) with all access rights, creating it first
  // when canCreate is true; false when that fails (no key is open then).
  bool OpenKey(const AnsiString& key, bool canCreate);
  void CloseKey();

  // The value's text when it is a string (REG_SZ, or REG_EXPAND_SZ unexpanded);
  // empty when it is missing or no key is open. A value of any other type throws
  // ERegistryException "'%s' のﾃﾞｰﾀ型が不正です" with the value's name.
  AnsiString ReadString(const AnsiString& name);
  bool ValueExists(const AnsiString& name);

 private:
  HKEY rootKey_;
  HKEY currentKey_ = nullptr;
};

}  // namespace vcl
