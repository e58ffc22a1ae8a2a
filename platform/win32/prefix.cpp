#include "win32/prefix.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

#include "host_files.h"
#include "host_path.h"
#include "listing_cache.h"
#include "win32/filesystem.h"

namespace win32 {
namespace {

// The Windows directory's WIN.INI as a fresh Windows installation has it.
constexpr std::string_view kWinIni =
    "; for 16-bit app support\r\n"
    "[fonts]\r\n"
    "[extensions]\r\n"
    "[mci extensions]\r\n"
    "[files]\r\n"
    "[Mail]\r\n"
    "MAPI=1\r\n";

constexpr std::string_view kMachineHive =
    "REGEDIT4\n"
    "\n"
    "[Software\\Microsoft\\Windows\\CurrentVersion]\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n";

constexpr std::string_view kUserHive = "REGEDIT4\n\n";

// Folders every prefix has; a missing one is made again on first use.
constexpr const char* kFolders[] = {"dosdevices",      "drive_c", "drive_c/windows",
                                    "drive_c/windows/temp", "drive_c/Program Files",
                                    "registry"};

std::mutex mutex;
std::optional<std::string> ensured;

Status Symlink(const std::string& target, const std::string& link) {
  if (Fs().Symlink(target.c_str(), link.c_str()) != 0) {
    return SystemError("cannot create the link " + link, errno);
  }
  return {};
}

Status Mkdir(const std::string& path) {
  if (Fs().Mkdir(path.c_str(), 0755) != 0) {
    return SystemError("cannot create the folder " + path, errno);
  }
  return {};
}

// Fills a fresh folder with everything a prefix holds.
Status Build(const std::string& root) {
  Status step = Mkdir(root);
  for (const char* folder : kFolders) {
    if (step) step = Mkdir(JoinHost(root, folder));
  }
  if (step) step = Symlink("../drive_c", root + "/dosdevices/c:");
  if (step) step = Symlink("/", root + "/dosdevices/z:");
  if (step) step = WriteNewHostFile(root + "/drive_c/windows/WIN.INI", kWinIni);
  if (step) step = WriteNewHostFile(root + "/registry/HKEY_LOCAL_MACHINE.reg", kMachineHive);
  if (step) step = WriteNewHostFile(root + "/registry/HKEY_CURRENT_USER.reg", kUserHive);
  return step;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return Fs().Stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An existing prefix is used when it has its drive links; folders someone
// removed from it are made again, files are never touched.
Status Complete(const std::string& root) {
  if (!IsFolder(root + "/dosdevices")) {
    return Error{"the folder " + root + " exists but is no prefix (it has no dosdevices folder)",
                 ENOTDIR};
  }
  for (const char* folder : kFolders) {
    const std::string path = JoinHost(root, folder);
    if (!IsFolder(path)) {
      Status made = MakeHostFolders(path);
      if (!made) return made;
    }
  }
  return {};
}

std::string SiblingFor(const std::string& location) {
  static std::atomic<unsigned> counter{0};
  return JoinHost(HostParent(location), "." + HostBaseName(location) + ".building-" +
                                            std::to_string(::getpid()) + "-" +
                                            std::to_string(++counter));
}

// Removes the half-built siblings of processes that died while building, so
// that a crash costs nothing but the next start's cleanup. A sibling whose
// builder still runs is left alone.
void RemoveAbandonedSiblings(const std::string& location) {
  const std::string stem = "." + HostBaseName(location) + ".building-";
  std::vector<std::string> names;
  if (Fs().ListFolder(HostParent(location).c_str(), &names) != 0) return;
  for (const std::string& name : names) {
    if (name.rfind(stem, 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + stem.size(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      RemoveHostTree(JoinHost(HostParent(location), name));
    }
  }
}

// Builds the prefix beside its place and renames it in. When another process
// got there first, its prefix is used and ours is thrown away.
Status Create(const std::string& location) {
  Status parents = MakeHostFolders(HostParent(location));
  if (!parents) return parents;
  RemoveAbandonedSiblings(location);
  const std::string sibling = SiblingFor(location);
  Status built = Build(sibling);
  if (!built) {
    RemoveHostTree(sibling);
    return Error{"cannot create the prefix " + location + ": " + built.error().reason,
                 built.error().errnum};
  }
  if (Fs().Rename(sibling.c_str(), location.c_str()) == 0) return {};
  const int error = errno;
  RemoveHostTree(sibling);
  if (error == EEXIST || error == ENOTEMPTY) return Complete(location);
  return SystemError("cannot create the prefix " + location, error);
}

}  // namespace

std::string PrefixLocation() {
  const char* prefix = std::getenv("SETUP_PREFIX");
  if (prefix != nullptr && *prefix != '\0') return AbsoluteHostPath(prefix);
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data != nullptr && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : "") + "/.local/share";
  }
  return AbsoluteHostPath(base + "/setup/prefix");
}

Expected<std::string> EnsurePrefix() {
  const std::string location = PrefixLocation();
  std::lock_guard lock(mutex);
  if (ensured && *ensured == location) return location;
  Status ready = IsFolder(location + "/dosdevices") ? Complete(location) : Create(location);
  if (!ready) return ready.error();
  ensured = location;
  return location;
}

void ResetPrefixForTesting() {
  {
    std::lock_guard lock(mutex);
    ensured.reset();
  }
  ForgetListings();
}

std::string LauncherCommand() {
  Expected<std::string> prefix = EnsurePrefix();
  if (prefix) {
    Expected<std::string> text = ReadHostFile(*prefix + "/launcher");
    if (text) {
      std::string line = text->substr(0, text->find('\n'));
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      if (!line.empty()) return line;
    }
  }
  return "wine";
}

}  // namespace win32
