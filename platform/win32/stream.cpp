#include "win32/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#include "win32/filesystem.h"
#include "win32/paths.h"

namespace win32 {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kEndOfText = 0x1A;

}  // namespace

Expected<std::unique_ptr<Stream>> Stream::Open(std::string_view windowsPath,
                                               std::string_view mode) {
  const bool text = mode == "r";
  const bool write = mode == "wb";
  if (!text && !write && mode != "rb") {
    return Error{"unknown stream mode \"" + std::string(mode) + "\"", EINVAL};
  }
  Expected<std::string> host = ToHostPath(windowsPath);
  if (!host) return host.error();
  const int flags = write ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY;
  struct stat info {};
  if (Fs().Stat(host->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return Error{"cannot open " + *host + ": " + ErrnoText(EISDIR), EISDIR};
  }
  const int fd = Fs().Open(host->c_str(), flags, 0644);
  if (fd < 0) {
    const int error = errno;
    return Error{"cannot open " + *host + ": " + ErrnoText(error), error};
  }
  // The constructor is private; make_unique cannot reach it.
  return std::unique_ptr<Stream>(new Stream(fd, std::move(*host), text, write));
}

Stream::Stream(int fd, std::string hostPath, bool textMode, bool writable)
    : fd_(fd), hostPath_(std::move(hostPath)), textMode_(textMode), writable_(writable) {}

Stream::~Stream() {
  if (fd_ >= 0) Close();
}

bool Stream::Fail(int errnum, std::string_view what) {
  if (!failed_) {
    failed_ = true;
    error_ = Error{"cannot " + std::string(what) + " " + hostPath_ + ": " + ErrnoText(errnum),
                   errnum};
  }
  return false;
}

std::size_t Stream::Read(void* buffer, std::size_t size) {
  if (fd_ < 0 || writable_ || failed_) return 0;
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size && !atEnd_) {
    if (bufferPos_ == buffer_.size()) {
      buffer_.resize(kBufferSize);
      bufferPos_ = 0;
      ssize_t got;
      while ((got = Fs().Read(fd_, buffer_.data(), buffer_.size())) < 0 && errno == EINTR) {
      }
      if (got <= 0) {
        buffer_.clear();
        if (got < 0) Fail(errno, "read");
        break;
      }
      buffer_.resize(static_cast<std::size_t>(got));
    }
    if (!textMode_) {
      const std::size_t take = std::min(size - done, buffer_.size() - bufferPos_);
      std::memcpy(out + done, buffer_.data() + bufferPos_, take);
      done += take;
      bufferPos_ += take;
      continue;
    }
    // Text mode: CR bytes vanish wherever they stand, and 0x1A ends the data.
    while (done < size && bufferPos_ < buffer_.size()) {
      const char c = buffer_[bufferPos_];
      if (c == kEndOfText) {
        atEnd_ = true;
        break;
      }
      ++bufferPos_;
      if (c != '\r') out[done++] = c;
    }
  }
  return done;
}

std::size_t Stream::Write(const void* buffer, std::size_t size) {
  if (fd_ < 0 || !writable_ || failed_) return 0;
  const auto* in = static_cast<const char*>(buffer);
  buffer_.append(in, size);
  if (buffer_.size() >= kBufferSize && !Flush()) return 0;
  return size;
}

bool Stream::Flush() {
  if (!writable_) return true;
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written = Fs().Write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      buffer_.clear();
      return Fail(written < 0 ? errno : ENOSPC, "write");
    }
    done += static_cast<std::size_t>(written);
  }
  buffer_.clear();
  return true;
}

bool Stream::Seek(std::int64_t offset, int whence) {
  if (fd_ < 0 || failed_ || (whence != SEEK_SET && whence != SEEK_END && whence != SEEK_CUR)) {
    return false;
  }
  if (whence == SEEK_CUR) {
    const std::int64_t here = Tell();
    if (here < 0) return false;
    offset += here;
    whence = SEEK_SET;
  }
  if (writable_ && !Flush()) return false;
  if (Fs().Seek(fd_, static_cast<off_t>(offset), whence) < 0) return Fail(errno, "seek in");
  buffer_.clear();
  bufferPos_ = 0;
  atEnd_ = false;
  return true;
}

std::int64_t Stream::Tell() {
  if (fd_ < 0 || failed_) return -1;
  const off_t position = Fs().Seek(fd_, 0, SEEK_CUR);
  if (position < 0) {
    Fail(errno, "seek in");
    return -1;
  }
  if (writable_) return position + static_cast<std::int64_t>(buffer_.size());
  return position - static_cast<std::int64_t>(buffer_.size() - bufferPos_);
}

bool Stream::Close() {
  if (fd_ < 0) return false;
  // A write stream that lost data earlier reports it here too, as fclose does.
  bool ok = writable_ ? Flush() && !failed_ : true;
  if (Fs().Close(fd_) != 0) ok = Fail(errno, "close");
  fd_ = -1;
  return ok;
}

}  // namespace win32
