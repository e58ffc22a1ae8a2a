#include "vcl/registry.h"

#include <vector>

#include "vcl/exception.h"
#include "win32/codepage.h"

namespace vcl {

TRegistry::TRegistry() : rootKey_(HKEY_CURRENT_USER) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  rootKey_ = root;
}

void TRegistry::CloseKey() {
  if (currentKey_ != nullptr) RegCloseKey(currentKey_);
  currentKey_ = nullptr;
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
  CloseKey();
  HKEY opened = nullptr;
  LONG result;
  if (canCreate) {
    DWORD disposition = 0;
    result = RegCreateKeyExA(rootKey_, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &opened, &disposition);
  } else {
    result = RegOpenKeyExA(rootKey_, key.c_str(), 0, KEY_ALL_ACCESS, &opened);
  }
  if (result != ERROR_SUCCESS) return false;
  currentKey_ = opened;
  return true;
}

bool TRegistry::ValueExists(const AnsiString& name) {
  if (currentKey_ == nullptr) return false;
  return RegQueryValueExA(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
  if (currentKey_ == nullptr) return AnsiString();
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return AnsiString();
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    throw ERegistryException(AnsiString("'") + name + AnsiString(win32::Ansi("' のﾃﾞｰﾀ型が不正です")));
  }
  std::vector<BYTE> data(size + 1, 0);
  DWORD got = size;
  if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, data.data(), &got) !=
      ERROR_SUCCESS) {
    return AnsiString();
  }
  const std::size_t length = std::min<std::size_t>(got, size);
  std::string text(reinterpret_cast<const char*>(data.data()), length);
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return AnsiString(text);
}

}  // namespace vcl
