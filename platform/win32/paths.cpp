#include "win32/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "drives.h"
#include "host_path.h"
#include "listing_cache.h"
#include "windows_path.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"

namespace win32 {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The components of a CP932 path, split at separators that are characters of
// their own (a 0x5C second byte belongs to its character).
std::vector<std::string_view> SplitWindows(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < path.size()) {
    if (IsCp932LeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      i += 2;
      continue;
    }
    if (IsSeparator(path[i])) {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
    ++i;
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

// A component as Windows takes it: no control characters nor <>:"|?*, trailing
// blanks and dots dropped, not empty then.
Expected<std::string> CleanComponent(std::string_view part) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    const auto b = static_cast<unsigned char>(part[i]);
    if (IsCp932LeadByte(b) && i + 1 < part.size()) {
      ++i;
      continue;
    }
    if (b < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(b)) != std::string_view::npos) {
      return Error{"the name \"" + Cp932ForDisplay(part) + "\" holds a character a file name cannot hold",
                   EINVAL};
    }
  }
  while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.remove_suffix(1);
  if (part.empty()) return Error{"a name in it is empty", EINVAL};
  return std::string(part);
}

Error PathError(std::string_view windowsPath, const Error& why) {
  return Error{"cannot use the path \"" + Cp932ForDisplay(windowsPath) + "\": " + why.reason,
               why.errnum};
}

// Where a path without a drive starts: the drive that holds the current folder.
Expected<ResolvedPath> CurrentFolder() {
  // A relative path must never land in "/" because the current folder is gone.
  const std::optional<std::string> current = TryCurrentHostFolder();
  if (!current) return Error{"the current folder no longer exists", ENOENT};
  const std::string cwd = CanonicalHostPath(*current);
  std::optional<DriveMapping> drive = DriveHolding(cwd);
  if (!drive) return Error{"the current folder " + cwd + " lies on no drive", ENOENT};
  return ResolvedPath{*drive, NamesBelow(drive->root, cwd), true};
}

// The starting point of a path and the part of it that follows.
Expected<ResolvedPath> Start(std::string_view& path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return Error{"network (UNC) paths are not supported", ENOENT};
  }
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    Expected<DriveMapping> drive = Drive(path[0]);
    if (!drive) return drive.error();
    path.remove_prefix(2);
    if (path.empty() || IsSeparator(path[0])) return ResolvedPath{*drive, {}, true};
    // "C:name" is relative to the current folder when that lies on drive C.
    Expected<ResolvedPath> cwd = CurrentFolder();
    if (cwd && cwd->drive.letter == drive->letter) return cwd;
    return ResolvedPath{*drive, {}, true};
  }
  Expected<ResolvedPath> cwd = CurrentFolder();
  if (cwd && !path.empty() && IsSeparator(path[0])) cwd->names.clear();
  return cwd;
}

}  // namespace

std::string ResolvedPath::HostPath() const {
  std::string host = drive.root;
  for (const std::string& name : names) host = JoinHost(host, name);
  return host;
}

Expected<ResolvedPath> ResolveWindowsPath(std::string_view windowsPath) {
  if (windowsPath.empty()) return PathError(windowsPath, Error{"it is empty", ENOENT});
  std::string_view rest = windowsPath;
  Expected<ResolvedPath> resolved = Start(rest);
  if (!resolved) return PathError(windowsPath, resolved.error());
  // The leading names that were found as existing entries; lookups stop at the
  // first missing one, whose followers are taken as written.
  std::size_t found = resolved->names.size();
  for (const std::string_view part : SplitWindows(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      // Lexically, and never above the drive's root, as Windows does.
      if (!resolved->names.empty()) resolved->names.pop_back();
      found = std::min(found, resolved->names.size());
      continue;
    }
    Expected<std::string> clean = CleanComponent(part);
    if (!clean) return PathError(windowsPath, clean.error());
    Expected<std::string> name = Cp932ToUtf8(*clean);
    if (!name) return PathError(windowsPath, name.error());
    if (found == resolved->names.size()) {
      if (std::optional<std::string> match = MatchEntry(resolved->HostPath(), *name)) {
        resolved->names.push_back(*match);
        ++found;
        continue;
      }
    }
    resolved->names.push_back(*name);
  }
  resolved->exists = found == resolved->names.size();
  return resolved;
}

Expected<std::string> ToHostPath(std::string_view windowsPath) {
  Expected<ResolvedPath> resolved = ResolveWindowsPath(windowsPath);
  if (!resolved) return resolved.error();
  return resolved->HostPath();
}

Expected<std::string> ToWindowsPath(std::string_view hostPath) {
  const std::string canonical = CanonicalHostPath(hostPath);
  std::optional<DriveMapping> drive = DriveHolding(canonical);
  if (!drive) return Error{"no drive holds " + canonical, ENOENT};
  std::string windows = std::string(1, drive->letter) + ":\\";
  bool first = true;
  for (const std::string& name : NamesBelow(drive->root, canonical)) {
    Expected<std::string> bytes = Utf8ToCp932(name);
    if (!bytes) return Error{"the name of " + canonical + " cannot be written in code page 932 (" +
                                 bytes.error().reason + ")",
                             bytes.error().errnum};
    if (!first) windows += '\\';
    windows += *bytes;
    first = false;
  }
  return windows;
}

Expected<std::string> ShortPathName(std::string_view windowsPath) {
  Expected<ResolvedPath> resolved = ResolveWindowsPath(windowsPath);
  if (!resolved) return resolved.error();
  struct stat info {};
  if (!resolved->exists || Fs().Stat(resolved->HostPath().c_str(), &info) != 0) {
    return PathError(windowsPath, Error{"it does not exist", ENOENT});
  }
  std::string shortPath = std::string(1, resolved->drive.letter) + ":\\";
  std::string folder = resolved->drive.root;
  for (std::size_t i = 0; i < resolved->names.size(); ++i) {
    const std::string& name = resolved->names[i];
    std::optional<std::string> shortName = ShortNameOf(folder, name);
    if (!shortName) return PathError(windowsPath, Error{"its folder cannot be read", EIO});
    if (i > 0) shortPath += '\\';
    shortPath += *shortName;
    folder = JoinHost(folder, name);
  }
  if (!resolved->names.empty() && EndsWithSeparator(windowsPath)) shortPath += '\\';
  return shortPath;
}

void ForgetCachedListings() { ForgetListings(); }

void NoteHostEntryChanged(const std::string& hostPath) {
  const std::string full = AbsoluteHostPath(hostPath);
  ForgetListing(HostParent(full));
  ForgetListing(full);
}

std::size_t ListingScanCount() { return ListingScans(); }

}  // namespace win32
