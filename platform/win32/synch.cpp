#include "win32/synch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "host_files.h"
#include "win32/filesystem.h"
#include "win32/kernel.h"
#include "win32/prefix.h"

namespace {

struct MutexHandle {
  int fd;
};

// Lock file names are kept to what any file system takes.
std::string LockName(const char* name) {
  std::string safe;
  for (const char* p = name; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                       c == '-' || c == '_' || c == '.';
    if (plain) {
      safe.push_back(static_cast<char>(c));
    } else {
      static const char kHex[] = "0123456789abcdef";
      safe.push_back('%');
      safe.push_back(kHex[c >> 4]);
      safe.push_back(kHex[c & 15]);
    }
  }
  return safe + ".lock";
}

}  // namespace

HANDLE CreateMutexA(void* /*securityAttributes*/, BOOL /*initialOwner*/, LPCSTR name) {
  if (name == nullptr || *name == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return nullptr;
  }
  const std::string folder = *prefix + "/locks";
  if (!win32::MakeHostFolders(folder)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::string path = folder + "/" + LockName(name);
  const int fd = win32::Fs().Open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      win32::Fs().Close(fd);
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    SetLastError(ERROR_ALREADY_EXISTS);
  }
  return new MutexHandle{fd};
}

BOOL CloseHandle(HANDLE handle) {
  if (handle == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto* mutex = static_cast<MutexHandle*>(handle);
  win32::Fs().Close(mutex->fd);  // closing the descriptor drops the lock
  delete mutex;
  return TRUE;
}
