// WinExec: starts a program detached, the way the shell starts one: no waiting,
// no console, and no child left for the caller to reap.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_path.h"
#include "listing_cache.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/kernel.h"
#include "win32/paths.h"

namespace {

// The words of a command line; double quotes group words and are dropped.
std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool inWord = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return win32::Fs().Stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

bool HasFolder(std::string_view name) {
  return name.find_first_of("\\/:") != std::string_view::npos;
}

// The folders a bare program name is looked for in, in order.
std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders;
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0) folders.push_back(win32::HostParent(std::string(self, length)));
  folders.push_back(win32::CurrentHostFolder());
  if (win32::Expected<std::string> windows = win32::ToHostPath("C:\\WINDOWS")) {
    folders.push_back(*windows);
  }
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest = path;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view folder = rest.substr(0, colon);
      if (!folder.empty()) folders.emplace_back(folder);
      rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
  }
  return folders;
}

// The host path of the program, or the WinExec error code.
UINT FindProgram(const std::string& word, std::string& program) {
  if (HasFolder(word)) {
    win32::Expected<std::string> host = win32::ToHostPath(word);
    if (!host) return ERROR_PATH_NOT_FOUND;
    struct stat info {};
    if (win32::Fs().Stat(host->c_str(), &info) != 0) return ERROR_FILE_NOT_FOUND;
    program = *host;
    return IsExecutableFile(program) ? 0 : ERROR_ACCESS_DENIED;
  }
  win32::Expected<std::string> name = win32::Cp932ToUtf8(word);
  if (!name) return ERROR_FILE_NOT_FOUND;
  for (const std::string& folder : SearchFolders()) {
    std::optional<std::string> entry = win32::MatchEntry(folder, *name);
    if (!entry) continue;
    const std::string candidate = win32::JoinHost(folder, *entry);
    if (IsExecutableFile(candidate)) {
      program = candidate;
      return 0;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

UINT CodeForErrno(int errnum) {
  switch (errnum) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOEXEC:
      return ERROR_BAD_FORMAT;
    default:
      return 31;
  }
}

// Runs argv detached: a middle child forks the program and exits at once, so
// the program is adopted by init and never becomes our zombie. A close-on-exec
// pipe tells whether the exec itself succeeded.
UINT Launch(const std::string& program, std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return 0;
  const pid_t middle = ::fork();
  if (middle < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return 0;
  }
  if (middle == 0) {
    ::close(report[0]);
    const pid_t child = ::fork();
    if (child == 0) {
      ::setsid();
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        if (null > STDERR_FILENO) ::close(null);
      }
      // The program gets none of our other descriptors (windows, archives, the
      // report pipe), whoever opened them; they close at the exec, so that the
      // pipe still tells of a failed exec. Older kernels simply keep them.
      ::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
      ::execv(program.c_str(), argv.data());
    }
    const int error = child > 0 ? 0 : errno;
    if (error != 0) (void)!::write(report[1], &error, sizeof error);
    ::_exit(child == 0 ? 127 : 0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof error)) return CodeForErrno(error);
  return 33;
}

}  // namespace

UINT WinExec(LPCSTR commandLine, UINT) {
  if (commandLine == nullptr) return ERROR_FILE_NOT_FOUND;
  std::vector<std::string> words = SplitWords(commandLine);
  if (words.empty()) return ERROR_FILE_NOT_FOUND;
  std::string program;
  if (const UINT code = FindProgram(words[0], program); code != 0) return code;
  words[0] = program;
  for (std::size_t i = 1; i < words.size(); ++i) {
    win32::Expected<std::string> argument = win32::Cp932ToUtf8(words[i]);
    if (!argument) return ERROR_BAD_FORMAT;
    words[i] = *argument;
  }
  return Launch(program, words);
}
