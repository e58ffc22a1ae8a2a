// Small operations on host paths (UTF-8, "/"-separated), done on the text alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

// path made absolute against the current directory, with "//", "." and ".."
// resolved on the text and no trailing "/" (except for "/" itself).
std::string AbsoluteHostPath(std::string_view path);

// folder + "/" + name, without doubling the "/" of the root.
std::string JoinHost(std::string_view folder, std::string_view name);

// The folder part and the last name of a normalised absolute path.
std::string HostParent(std::string_view path);
std::string HostBaseName(std::string_view path);

// The names of a normalised absolute path below root (which must hold it).
std::vector<std::string> NamesBelow(std::string_view root, std::string_view path);

// True when path is root or lies below it (both normalised and absolute).
bool HostPathWithin(std::string_view root, std::string_view path);

// True when bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// The current directory, or "/" when it cannot be had.
std::string CurrentHostFolder();

// The current directory; nothing when it cannot be had (it was removed).
std::optional<std::string> TryCurrentHostFolder();

// The canonical form of a path whose tail may not exist yet: the longest existing
// head through realpath, the rest as written.
std::string CanonicalHostPath(std::string_view path);

}  // namespace win32
