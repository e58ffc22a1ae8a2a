#include "unlha32/file_batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cerrno>
#include <set>

#include "win32/filesystem.h"

namespace unlha32 {
namespace {

constexpr std::size_t kBatchFiles = 256;
constexpr std::uint64_t kBatchBytes = 64ull * 1024 * 1024;

std::string FolderOf(const std::string& hostPath) {
  return hostPath.substr(0, hostPath.find_last_of('/'));
}

}  // namespace

bool FlushFileSystem(const std::string& folder, Problem& problem) {
  const int fd = win32::Fs().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) {
    problem = {WriteFailureResult(errno),
               std::string("フォルダを開けません (") + win32::ErrnoText(errno) + ")。"};
    return false;
  }
  int failed = syncfs(fd) != 0 ? errno : 0;
  if (failed == 0 && win32::Fs().Fsync(fd) != 0) failed = errno;
  win32::Fs().Close(fd);
  if (failed != 0) {
    problem = {WriteFailureResult(failed),
               std::string("ファイルをディスクに書き出せません (") + win32::ErrnoText(failed) + ")。"};
    return false;
  }
  return true;
}

void FileBatch::Discard() {
  files_.clear();
  entries_.clear();
  finals_.clear();
  bytes_ = 0;
}

bool FileBatch::Add(std::unique_ptr<TempFile> file, std::uint64_t size,
                    const std::string& entry, Problem& problem) {
  finals_.insert(file->finalPath());
  files_.push_back(std::move(file));
  entries_.push_back(entry);
  bytes_ += size;
  if (files_.size() < kBatchFiles && bytes_ < kBatchBytes) return true;
  return Flush(problem);
}

bool FileBatch::Flush(Problem& problem) {
  if (files_.empty()) return true;
  // One flush per file system the batch's folders lie on (a folder below the
  // destination can be a mount point of its own).
  std::set<std::string> folders;
  std::set<dev_t> devices;
  for (const auto& file : files_) {
    const std::string folder = FolderOf(file->path());
    if (!folders.insert(folder).second) continue;
    struct stat info {};
    if (win32::Fs().Stat(folder.c_str(), &info) == 0 && !devices.insert(info.st_dev).second) {
      continue;
    }
    if (!FlushFileSystem(folder, problem)) {
      problem.entry = entries_.front();
      Discard();
      return false;
    }
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!files_[i]->PutInPlace(problem)) {
      problem.entry = entries_[i];
      Discard();
      return false;
    }
  }
  Discard();
  return true;
}

}  // namespace unlha32
