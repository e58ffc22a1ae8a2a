#include "drives.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "host_files.h"
#include "host_path.h"
#include "win32/filesystem.h"
#include "win32/prefix.h"

namespace win32 {
namespace {

std::optional<std::string> Resolve(const std::string& link) {
  char resolved[PATH_MAX];
  if (::realpath(link.c_str(), resolved) == nullptr) return std::nullopt;
  return std::string(resolved);
}

bool IsDriveName(const std::string& name) {
  return name.size() == 2 && name[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(name[0])) != 0;
}

}  // namespace

Expected<DriveMapping> Drive(char letter) {
  Expected<std::string> prefix = EnsurePrefix();
  if (!prefix) return prefix.error();
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (const char spelling : {lower, upper}) {
    const std::string link = *prefix + "/dosdevices/" + spelling + ":";
    struct stat info {};
    if (Fs().Lstat(link.c_str(), &info) != 0) continue;
    std::optional<std::string> root = Resolve(link);
    if (!root) {
      return SystemError(std::string("drive ") + upper + ": is not ready", errno);
    }
    struct stat target {};
    if (Fs().Stat(root->c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
      return SystemError(std::string("drive ") + upper + ": is not ready", ENOTDIR);
    }
    return DriveMapping{upper, *root};
  }
  return Error{std::string("there is no drive ") + upper + ":", ENOENT};
}

std::optional<DriveMapping> DriveHolding(const std::string& canonicalPath) {
  Expected<std::string> prefix = EnsurePrefix();
  if (!prefix) return std::nullopt;
  std::vector<std::string> names;
  if (Fs().ListFolder((*prefix + "/dosdevices").c_str(), &names) != 0) return std::nullopt;
  std::optional<DriveMapping> best;
  for (const std::string& name : names) {
    if (!IsDriveName(name)) continue;
    std::optional<std::string> root = Resolve(*prefix + "/dosdevices/" + name);
    if (!root || !HostPathWithin(*root, canonicalPath)) continue;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (!best || root->size() > best->root.size() ||
        (root->size() == best->root.size() && letter < best->letter)) {
      best = DriveMapping{letter, *root};
    }
  }
  return best;
}

}  // namespace win32
