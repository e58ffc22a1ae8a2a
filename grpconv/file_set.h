// A set of files written together: each one whole or not at all, and none of them
// unless all could be written.
#pragma once

#include <string>
#include <vector>

#include "win32/result.h"

namespace grpconv {

class FileSet {
 public:
  // Adds a file by its host path; adding a path again replaces its content.
  void Add(const std::string& path, std::string content);

  // Creates missing parent folders (mode 0700, as the XDG Base Directory
  // Specification asks), writes every file to a hidden temporary name beside it
  // and flushes it, and only when all were written renames them into place, in the
  // order they were added. On a failure no temporary file stays; a rename that
  // fails after others succeeded leaves those, each of them whole. All calls go
  // through the win32 file-system seam.
  win32::Status Commit() const;

  // The paths added, in order.
  std::vector<std::string> Paths() const;

 private:
  struct File {
    std::string path;
    std::string content;
  };
  std::vector<File> files_;
};

}  // namespace grpconv
