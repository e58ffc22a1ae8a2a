// Whole-file and whole-folder operations on host paths, all through the file
// system seam, each failing with a reason that names the path.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "win32/result.h"

namespace win32 {

// Reads a file whole.
Expected<std::string> ReadHostFile(const std::string& path);

// Creates a file that must not exist yet, writes bytes and flushes them to disk.
Status WriteNewHostFile(const std::string& path, std::string_view bytes, mode_t mode = 0644);

// Replaces path with bytes: written to a temporary name beside it, flushed, and
// renamed over it, so that the file holds either the old or the new bytes.
Status ReplaceHostFile(const std::string& path, std::string_view bytes, mode_t mode = 0644);

// A fresh temporary name beside path (nothing is created).
std::string TemporaryNameBeside(const std::string& path);

// Creates path and every missing parent as folders.
Status MakeHostFolders(const std::string& path);

// Removes a file, a link, or a folder with everything below it (links are not
// followed).
Status RemoveHostTree(const std::string& path);

// Writes all bytes to fd, retrying short writes.
bool WriteAll(int fd, std::string_view bytes);

// An Error whose reason is what, ": " and the text of errnum.
Error SystemError(const std::string& what, int errnum);

}  // namespace win32
