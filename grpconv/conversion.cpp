#include "grpconv/conversion.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grpconv/desktop_entry.h"
#include "grpconv/entry_names.h"
#include "grpconv/menu_file.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/paths.h"

namespace grpconv {
namespace {

struct PendingFile {
  std::string path;
  std::string content;
};

// Everything a conversion writes, kept apart by kind so that the launchers land
// first and the menus, which make them visible, last.
struct Pending {
  std::vector<PendingFile> launchers;
  std::vector<PendingFile> directories;
  std::vector<PendingFile> menus;
};

win32::Error ItemError(const GroupItem& item, const std::string& what) {
  return win32::Error{"SETUP.INI line " + std::to_string(item.line) + ": " + what};
}

// The words of the launcher's command line: separated by blanks, and grouped by
// double quotes where one holds blanks (the quotes are not part of it).
std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inQuotes = false;
  bool started = false;
  for (const char c : text) {
    if (c == '"') {
      inQuotes = !inQuotes;
      started = true;
    } else if (!inQuotes && (c == ' ' || c == '\t')) {
      if (started) words.push_back(std::move(word));
      word.clear();
      started = false;
    } else {
      word += c;
      started = true;
    }
  }
  if (started) words.push_back(std::move(word));
  return words;
}

// The canonical host path of an existing file (or folder, when folder is set)
// named by a Windows path.
win32::Expected<std::string> ExistingHostPath(std::string_view windowsPath, bool folder,
                                              const std::string& what) {
  const std::string shown = "\"" + win32::Cp932ForDisplay(windowsPath) + "\"";
  auto host = win32::ToHostPath(windowsPath);
  if (!host) return win32::Error{what + " " + shown + " cannot be mapped: " + host.error().reason};
  const auto failed = [&](const std::string& path) {
    const int errnum = errno;
    return win32::Error{what + " " + shown + " (" + path + "): " + win32::ErrnoText(errnum),
                        errnum};
  };
  const std::unique_ptr<char, decltype(&std::free)> real(realpath(host->c_str(), nullptr),
                                                         &std::free);
  if (!real) return failed(*host);
  struct stat info {};
  if (win32::Fs().Stat(real.get(), &info) != 0) return failed(real.get());
  const bool rightKind = folder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
  if (!rightKind) {
    return win32::Error{what + " " + shown + " (" + real.get() + ") is not a " +
                        (folder ? "folder" : "file")};
  }
  return std::string(real.get());
}

win32::Expected<PendingFile> ConvertItem(const GroupItem& item, const std::string& group,
                                         const XdgFolders& folders,
                                         const std::vector<std::string>& launcher) {
  LauncherEntry entry;
  auto name = win32::Cp932ToUtf8(item.name);
  if (!name) return ItemError(item, "the item name: " + name.error().reason);
  entry.name = std::move(*name);
  auto program = ExistingHostPath(item.program, false, "the program");
  if (!program) return ItemError(item, program.error().reason);
  entry.program = std::move(*program);
  if (!item.workingFolder.empty()) {
    auto folder = ExistingHostPath(item.workingFolder, true, "the working folder");
    if (!folder) return ItemError(item, folder.error().reason);
    entry.workingFolder = std::move(*folder);
  }
  entry.launcher = launcher;
  entry.categories = {std::string(kCategory), GroupCategory(group)};
  auto text = RenderLauncher(entry);
  if (!text) return ItemError(item, text.error().reason);
  return PendingFile{folders.applications + "/" + ItemId(group, item.name) + ".desktop",
                     std::move(*text)};
}

win32::Status ConvertGroup(const Group& group, const XdgFolders& folders,
                           const std::vector<std::string>& launcher, Pending& pending) {
  auto levels = SplitGroupLevels(group.name);
  if (!levels) return levels.error();
  std::vector<std::string> ids;
  std::string levelPath;
  for (const std::string& level : *levels) {
    if (!levelPath.empty()) levelPath += '\\';
    levelPath += level;
    auto name = win32::Cp932ToUtf8(level);
    if (!name) {
      return win32::Error{"the group name \"" + win32::Cp932ForDisplay(group.name) +
                          "\": " + name.error().reason};
    }
    auto text = RenderDirectory(*name);
    if (!text) return text.error();
    ids.push_back(LevelId(levelPath));
    pending.directories.push_back(
        {folders.directories + "/" + ids.back() + ".directory", std::move(*text)});
  }
  for (const GroupItem& item : group.items) {
    auto file = ConvertItem(item, group.name, folders, launcher);
    if (!file) return file.error();
    pending.launchers.push_back(std::move(*file));
  }
  pending.menus.push_back({folders.menus + "/" + MenuId(group.name) + ".menu",
                           RenderMenu(ids, GroupCategory(group.name))});
  return {};
}

}  // namespace

win32::Expected<FileSet> ConvertGroups(const GroupFile& file, const XdgFolders& folders,
                                       std::string_view launcher) {
  const std::vector<std::string> words = SplitWords(launcher);
  if (words.empty()) return win32::Error{"the prefix's launcher file names no command"};
  Pending pending;
  for (const Group& group : file.groups) {
    if (win32::Status converted = ConvertGroup(group, folders, words, pending); !converted) {
      return converted.error();
    }
  }
  FileSet files;
  for (auto* kind : {&pending.launchers, &pending.directories, &pending.menus}) {
    for (PendingFile& pending_file : *kind) {
      files.Add(pending_file.path, std::move(pending_file.content));
    }
  }
  return files;
}

}  // namespace grpconv
