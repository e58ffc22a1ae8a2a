#include "unlha32/temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "unlha32/unlha32.h"
#include "win32/filesystem.h"

namespace unlha32 {
namespace {

std::string TempName(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + "/.unlha-" + std::to_string(getpid()) + "-" + std::to_string(++counter) +
         ".tmp";
}

}  // namespace

int WriteFailureResult(int errnum) {
  return errnum == ENOSPC || errnum == EDQUOT || errnum == EFBIG ? ERROR_DISK_SPACE
                                                                  : ERROR_CANNOT_WRITE;
}

std::unique_ptr<TempFile> TempFile::Create(const std::string& folder, const std::string& finalPath,
                                           Problem& problem) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = TempName(folder);
    const int fd =
        win32::Fs().Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return std::unique_ptr<TempFile>(new TempFile(std::move(path), finalPath, fd));
    if (errno != EEXIST && errno != EINTR) {
      problem = {WriteFailureResult(errno),
                 std::string("一時ファイルを作れません (") + win32::ErrnoText(errno) + ")。"};
      return nullptr;
    }
  }
  problem = {ERROR_CANNOT_WRITE, "一時ファイルの名前が決まりません。"};
  return nullptr;
}

TempFile::~TempFile() {
  if (fd_ >= 0) win32::Fs().Close(fd_);
  if (!committed_) win32::Fs().Unlink(path_.c_str());
}

bool TempFile::Fail(int errnum, const char* what, Problem& problem) {
  problem = {WriteFailureResult(errnum),
             std::string(what) + " (" + win32::ErrnoText(errnum) + ")。"};
  return false;
}

bool TempFile::Write(const void* data, std::size_t size, Problem& problem) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = win32::Fs().Write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(errno, "ファイルに書き込めません", problem);
    if (n == 0) return Fail(ENOSPC, "ファイルに書き込めません", problem);
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool TempFile::Finish(const struct timespec& modified, Problem& problem) {
  const int fd = fd_;
  fd_ = -1;
  if (win32::Fs().Close(fd) != 0) return Fail(errno, "ファイルを閉じられません", problem);
  const struct timespec times[2] = {{0, UTIME_OMIT}, modified};
  if (win32::Fs().Utimens(path_.c_str(), times) != 0) {
    return Fail(errno, "ファイルの日時を設定できません", problem);
  }
  return true;
}

bool TempFile::PutInPlace(Problem& problem) {
  if (win32::Fs().Rename(path_.c_str(), finalPath_.c_str()) != 0) {
    return Fail(errno, "ファイルを置けません", problem);
  }
  committed_ = true;
  return true;
}

}  // namespace unlha32
