#include "errors.h"

#include <cerrno>

namespace win32 {

DWORD Win32ErrorFromErrno(int errnum) {
  switch (errnum) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    case EACCES:
    case EPERM:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
    case ENOTEMPTY:
      return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EILSEQ:
      return ERROR_NO_UNICODE_TRANSLATION;
    case EINVAL:
      return ERROR_INVALID_NAME;
    default:
      return ERROR_WRITE_FAULT;
  }
}

}  // namespace win32
