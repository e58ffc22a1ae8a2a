#include "unlha32/destination.h"

#include <fcntl.h>

#include <cerrno>

#include "unlha32/file_batch.h"
#include "unlha32/unlha32.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/paths.h"

namespace unlha32 {
namespace {

std::string Because(const char* what, int errnum) {
  return std::string(what) + " (" + win32::ErrnoText(errnum) + ")。";
}

// Strips closing separators; a 0x5C that ends a double-byte character stays.
std::string WithoutClosingSeparator(std::string path) {
  while (path.size() > 1 && win32::EndsWithSeparator(path)) path.pop_back();
  return path;
}

bool MakeFolder(const std::string& host, Problem& problem) {
  if (win32::Fs().Mkdir(host.c_str(), 0777) == 0 || errno == EEXIST) return true;
  problem = {errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_SPACE : ERROR_MAKEDIRECTORY,
             Because("フォルダを作れません", errno)};
  return false;
}

}  // namespace

std::unique_ptr<Destination> Destination::Map(const std::string& windowsPath, Problem& problem) {
  const std::string base = WithoutClosingSeparator(windowsPath);
  auto host = win32::ToHostPath(base);
  if (!host) {
    problem = {ERROR_MAKEDIRECTORY, "展開先のパスが使えません: " + host.error().reason};
    return nullptr;
  }
  std::string hostPath = *host;
  while (hostPath.size() > 1 && hostPath.back() == '/') hostPath.pop_back();
  return std::unique_ptr<Destination>(new Destination(base, hostPath));
}

bool Destination::FreeBytes(std::uint64_t& bytes, Problem& problem) const {
  std::string probe = host_;
  struct statvfs info {};
  while (win32::Fs().StatVfs(probe.c_str(), &info) != 0) {
    const std::size_t slash = probe.find_last_of('/');
    if ((errno != ENOENT && errno != ENOTDIR) || slash == std::string::npos || probe == "/") {
      problem = {ERROR_MAKEDIRECTORY, Because("展開先の空き容量を調べられません", errno)};
      return false;
    }
    probe = slash == 0 ? "/" : probe.substr(0, slash);
  }
  bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

bool Destination::Create(Problem& problem) {
  // The folders above the destination may be links (the drive links of the
  // prefix are), so they are followed; the destination itself must be a folder.
  std::size_t next = 1;
  while (true) {
    const std::size_t slash = host_.find('/', next);
    const std::string part = host_.substr(0, slash);
    struct stat info {};
    if (win32::Fs().Stat(part.c_str(), &info) != 0) {
      if (errno != ENOENT) {
        problem = {ERROR_MAKEDIRECTORY, Because("展開先を調べられません", errno)};
        return false;
      }
      if (!MakeFolder(part, problem)) return false;
    } else if (!S_ISDIR(info.st_mode)) {
      problem = {ERROR_MAKEDIRECTORY, "展開先のパスにファイルがあります: " + part};
      return false;
    }
    if (slash == std::string::npos) return true;
    next = slash + 1;
  }
}

std::string Destination::WindowsPathOf(const std::vector<std::string>& components,
                                       std::size_t count) const {
  std::string path = windowsBase_;
  for (std::size_t i = 0; i < count; ++i) {
    if (!win32::EndsWithSeparator(path)) path += '\\';
    path += components[i];
  }
  return path;
}

bool Destination::MapInside(const std::vector<std::string>& components, std::size_t count,
                            std::string& host, Problem& problem) const {
  auto mapped = win32::ToHostPath(WindowsPathOf(components, count));
  if (!mapped) {
    problem = {ERROR_MAKEDIRECTORY, "名前をパスにできません: " + mapped.error().reason};
    return false;
  }
  host = *mapped;
  // The mapping keeps every component below the destination, since the names
  // were checked; this makes sure of it.
  if (host.compare(0, host_.size(), host_) != 0 || host.size() <= host_.size() ||
      host[host_.size()] != '/') {
    problem = {ERROR_UNSAFE_NAME, "名前が展開先の外を指します: " + host};
    return false;
  }
  return true;
}

bool Destination::Folder(const std::vector<std::string>& components, std::size_t count,
                         std::string& host, Problem& problem) {
  host = host_;
  std::string key;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) key += '\\';
    key += components[i];
    if (const auto known = folders_.find(key); known != folders_.end()) {
      host = known->second;
      continue;
    }
    if (!MapInside(components, i + 1, host, problem)) return false;
    if (waiting_ != nullptr && waiting_->Holds(host) && !waiting_->Flush(problem)) return false;
    struct stat info {};
    if (win32::Fs().Lstat(host.c_str(), &info) != 0) {
      if (errno != ENOENT) {
        problem = {ERROR_MAKEDIRECTORY, Because("フォルダを調べられません", errno)};
        return false;
      }
      if (!MakeFolder(host, problem)) return false;
    } else if (!S_ISDIR(info.st_mode)) {
      problem = {ERROR_MAKEDIRECTORY, S_ISLNK(info.st_mode)
                                          ? "フォルダの場所にリンクがあります。"
                                          : "フォルダの場所にファイルがあります。"};
      return false;
    }
    folders_.emplace(key, host);
  }
  return true;
}

bool Destination::FilePath(const std::vector<std::string>& components, std::string& host,
                           Problem& problem) {
  if (!MapInside(components, components.size(), host, problem)) return false;
  struct stat info {};
  if (win32::Fs().Lstat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    problem = {ERROR_CANNOT_WRITE, "ファイルの場所にフォルダがあります。"};
    return false;
  }
  return true;
}

void Destination::NoteFolderTime(const std::string& host, const struct timespec& modified) {
  folderTimes_.emplace_back(host, modified);
}

bool Destination::Finish(Problem& problem) {
  for (const auto& [host, modified] : folderTimes_) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, modified};
    if (win32::Fs().Utimens(host.c_str(), times) != 0) {
      problem = {ERROR_CANNOT_WRITE, Because("フォルダの日時を設定できません", errno)};
      return false;
    }
  }
  // The renames (and the folders made) become durable with one flush.
  return FlushFileSystem(host_, problem);
}

}  // namespace unlha32
