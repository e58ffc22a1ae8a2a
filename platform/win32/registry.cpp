#include "win32/registry.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "hive.h"
#include "host_files.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/prefix.h"
#include "win32/report.h"

const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});

namespace {

using win32::Hive;
using win32::HiveKey;
using win32::HiveValue;

struct OpenKey {
  const char* hive;  // the root key's name, which is also its file's name
  std::string path;  // UTF-8, below the root
  REGSAM access;
};

// One lock for the handle table and every read-modify-write of a hive.
std::mutex mutex;
std::map<std::uintptr_t, OpenKey> openKeys;
std::uintptr_t nextHandle = 0x1000;

bool Lookup(HKEY key, OpenKey& found) {
  if (key == HKEY_CURRENT_USER) {
    found = OpenKey{"HKEY_CURRENT_USER", "", KEY_ALL_ACCESS};
    return true;
  }
  if (key == HKEY_LOCAL_MACHINE) {
    found = OpenKey{"HKEY_LOCAL_MACHINE", "", KEY_ALL_ACCESS};
    return true;
  }
  const auto open = openKeys.find(reinterpret_cast<std::uintptr_t>(key));
  if (open == openKeys.end()) return false;
  found = open->second;
  return true;
}

HKEY Remember(OpenKey key) {
  const std::uintptr_t handle = nextHandle++;
  openKeys.emplace(handle, std::move(key));
  return reinterpret_cast<HKEY>(handle);
}

// Control characters cannot be written into a hive line.
bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// The path of subKey (CP932) below parent, as UTF-8 with single separators.
// Deliberately differs: key names with control characters, or a first name that
// starts with "-", are refused, since a hive line could not hold them.
bool JoinKeyPath(const std::string& parent, LPCSTR subKey, std::string& path) {
  path = parent;
  if (subKey == nullptr) return true;
  win32::Expected<std::string> utf8 = win32::Cp932ToUtf8(subKey);
  if (!utf8 || HasControlCharacter(*utf8)) return false;
  std::size_t start = 0;
  while (start <= utf8->size()) {
    std::size_t end = utf8->find('\\', start);
    if (end == std::string::npos) end = utf8->size();
    if (end > start) {
      if (!path.empty()) path += '\\';
      path += utf8->substr(start, end - start);
    }
    start = end + 1;
  }
  return path.empty() || path[0] != '-';
}

std::string HiveFile(const std::string& prefix, const char* hive) {
  return prefix + "/registry/" + hive + ".reg";
}

// Reads a hive whole. A missing file is an empty hive; a malformed one is
// reported once per process and gives ERROR_BAD_FORMAT.
LONG Load(const char* name, Hive& hive, std::string& file) {
  win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) return ERROR_PATH_NOT_FOUND;
  file = HiveFile(*prefix, name);
  win32::Expected<std::string> text = win32::ReadHostFile(file);
  if (!text) {
    if (text.error().errnum == ENOENT) {
      hive = Hive{};
      return ERROR_SUCCESS;
    }
    win32::Report(nullptr, "レジストリ", text.error().reason);
    return ERROR_ACCESS_DENIED;
  }
  win32::Expected<Hive> parsed = win32::ParseHive(*text, file);
  if (!parsed) {
    static std::set<std::string> reported;
    if (reported.insert(parsed.error().reason).second) {
      win32::Report(nullptr, "レジストリ", parsed.error().reason);
    }
    return ERROR_BAD_FORMAT;
  }
  hive = std::move(*parsed);
  return ERROR_SUCCESS;
}

// Serialises the read-modify-write of a hive between processes: two programs
// setting values at once must not lose one another's. The lock lives in a file
// of its own because the hive itself is replaced at every save. Without a lock
// file (a read-only prefix) the save fails anyway, so going on unlocked is fine.
class HiveLock {
 public:
  explicit HiveLock(const char* hive) {
    win32::Expected<std::string> prefix = win32::EnsurePrefix();
    if (!prefix) return;
    const std::string path = *prefix + "/registry/." + hive + ".reg.lock";
    fd_ = win32::Fs().Open(path.c_str(), O_RDWR | O_CREAT, 0644);
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) win32::Fs().Close(fd_);
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;

 private:
  int fd_ = -1;
};

LONG Save(const Hive& hive, const std::string& file) {
  win32::Status saved = win32::ReplaceHostFile(file, win32::FormatHive(hive));
  if (!saved) {
    win32::Report(nullptr, "レジストリ", saved.error().reason);
    return ERROR_WRITE_FAULT;
  }
  return ERROR_SUCCESS;
}

// The bytes a caller gets for a value: CP932 strings with their terminator.
LONG Encode(const HiveValue& value, std::string& bytes) {
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) {
    bytes = value.data;
    return ERROR_SUCCESS;
  }
  win32::Expected<std::string> text = win32::Utf8ToCp932(value.data);
  if (!text) return ERROR_NO_UNICODE_TRANSLATION;
  bytes = *text;
  bytes += '\0';
  return ERROR_SUCCESS;
}

// What a caller's bytes become: UTF-8 strings without terminator.
LONG Decode(DWORD type, const BYTE* data, DWORD size, std::string& stored) {
  const auto* bytes = reinterpret_cast<const char*>(data);
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    const std::size_t length = data == nullptr ? 0 : ::strnlen(bytes, size);
    win32::Expected<std::string> text = win32::Cp932ToUtf8(std::string_view(bytes, length));
    if (!text) return ERROR_NO_UNICODE_TRANSLATION;
    stored = *text;
    return ERROR_SUCCESS;
  }
  if (type == REG_DWORD && size != 4) return ERROR_INVALID_PARAMETER;
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  stored.assign(bytes == nullptr ? "" : bytes, size);
  return ERROR_SUCCESS;
}

std::string ValueName(LPCSTR name, bool& ok) {
  ok = true;
  if (name == nullptr) return "";
  win32::Expected<std::string> utf8 = win32::Cp932ToUtf8(name);
  ok = utf8.ok() && !HasControlCharacter(*utf8);
  return ok ? *utf8 : "";
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::lock_guard lock(mutex);
  OpenKey parent;
  if (!Lookup(key, parent)) return ERROR_INVALID_HANDLE;
  std::string path;
  if (!JoinKeyPath(parent.path, subKey, path)) return ERROR_FILE_NOT_FOUND;
  Hive hive;
  std::string file;
  if (const LONG loaded = Load(parent.hive, hive, file); loaded != ERROR_SUCCESS) return loaded;
  if (!hive.HasKey(path)) return ERROR_FILE_NOT_FOUND;
  *result = Remember(OpenKey{parent.hive, path, access});
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, void*,
                     PHKEY result, DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::lock_guard lock(mutex);
  OpenKey parent;
  if (!Lookup(key, parent)) return ERROR_INVALID_HANDLE;
  std::string path;
  if (!JoinKeyPath(parent.path, subKey, path)) return ERROR_INVALID_PARAMETER;
  HiveLock locked(parent.hive);
  Hive hive;
  std::string file;
  if (const LONG loaded = Load(parent.hive, hive, file); loaded != ERROR_SUCCESS) return loaded;
  const bool exists = hive.HasKey(path);
  if (!exists) {
    hive.AddKey(path);
    if (const LONG saved = Save(hive, file); saved != ERROR_SUCCESS) return saved;
  }
  if (disposition != nullptr) *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = Remember(OpenKey{parent.hive, path, access});
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(mutex);
  OpenKey open;
  if (!Lookup(key, open)) return ERROR_INVALID_HANDLE;
  bool nameOk = true;
  const std::string name = ValueName(valueName, nameOk);
  if (!nameOk) return ERROR_FILE_NOT_FOUND;
  Hive hive;
  std::string file;
  if (const LONG loaded = Load(open.hive, hive, file); loaded != ERROR_SUCCESS) return loaded;
  HiveKey* found = hive.FindKey(open.path);
  HiveValue* value = found != nullptr ? found->FindValue(name) : nullptr;
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  std::string bytes;
  if (const LONG encoded = Encode(*value, bytes); encoded != ERROR_SUCCESS) return encoded;
  if (type != nullptr) *type = value->type;
  if (size == nullptr) return ERROR_SUCCESS;
  const DWORD room = *size;
  *size = static_cast<DWORD>(bytes.size());
  if (data == nullptr) return ERROR_SUCCESS;
  if (bytes.size() > room) return ERROR_MORE_DATA;
  std::memcpy(data, bytes.data(), bytes.size());
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  std::lock_guard lock(mutex);
  OpenKey open;
  if (!Lookup(key, open)) return ERROR_INVALID_HANDLE;
  if ((open.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  bool nameOk = true;
  const std::string name = ValueName(valueName, nameOk);
  if (!nameOk) return ERROR_INVALID_PARAMETER;
  std::string stored;
  if (const LONG decoded = Decode(type, data, size, stored); decoded != ERROR_SUCCESS) {
    return decoded;
  }
  HiveLock locked(open.hive);
  Hive hive;
  std::string file;
  if (const LONG loaded = Load(open.hive, hive, file); loaded != ERROR_SUCCESS) return loaded;
  HiveKey& target = hive.AddKey(open.path);
  if (HiveValue* value = target.FindValue(name)) {
    value->type = type;
    value->data = std::move(stored);
  } else {
    target.values.push_back(HiveValue{name, type, std::move(stored)});
  }
  return Save(hive, file);
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  std::lock_guard lock(mutex);
  return openKeys.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}
