// The runtime library's buffered byte streams, opened on Windows paths.
//
// Modes: "r" reads as text the way the runtime does: every CR byte is dropped
// wherever it stands, and a byte 0x1A ends the data. "rb" reads bytes unchanged;
// "wb" creates the file or cuts an existing one to zero length. Every call goes
// through the file-system seam and remembers why it failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "win32/result.h"

namespace win32 {

class Stream {
 public:
  // Opens windowsPath with mode "r", "rb" or "wb". Fails with a reason (the path
  // cannot be mapped, is a folder, or the system refused).
  static Expected<std::unique_ptr<Stream>> Open(std::string_view windowsPath,
                                                std::string_view mode);
  ~Stream();
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // fread with element size 1: the count of bytes read; short at the end of the
  // data or after an error (see error()).
  std::size_t Read(void* buffer, std::size_t size);
  // fwrite with element size 1: the count written; short after an error.
  std::size_t Write(const void* buffer, std::size_t size);
  // fseek with SEEK_SET or SEEK_END; false after an error.
  bool Seek(std::int64_t offset, int whence);
  // ftell: the position, or -1 after an error.
  std::int64_t Tell();
  // fclose: flushes and closes; false when the flush or close failed.
  bool Close();

  bool failed() const { return failed_; }
  const Error& error() const { return error_; }
  const std::string& host_path() const { return hostPath_; }

 private:
  Stream(int fd, std::string hostPath, bool textMode, bool writable);
  bool Flush();
  bool Fail(int errnum, std::string_view what);

  int fd_;
  std::string hostPath_;
  bool textMode_;
  bool writable_;
  bool atEnd_ = false;
  bool failed_ = false;
  Error error_;
  std::string buffer_;
  std::size_t bufferPos_ = 0;
};

}  // namespace win32
