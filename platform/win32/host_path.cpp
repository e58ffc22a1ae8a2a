#include "host_path.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace win32 {

std::optional<std::string> TryCurrentHostFolder() {
  std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
  if (!cwd || cwd.get()[0] != '/') return std::nullopt;
  return std::string(cwd.get());
}

std::string CurrentHostFolder() { return TryCurrentHostFolder().value_or("/"); }

std::string AbsoluteHostPath(std::string_view path) {
  std::string full = !path.empty() && path[0] == '/' ? std::string(path)
                                                      : CurrentHostFolder() + "/" + std::string(path);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= full.size()) {
    std::size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    const std::string_view name(full.data() + start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& name : names) result += "/" + name;
  return result.empty() ? "/" : result;
}

std::string JoinHost(std::string_view folder, std::string_view name) {
  std::string result(folder);
  if (result.empty() || result.back() != '/') result += '/';
  result += name;
  return result;
}

std::string HostParent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string HostBaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool HostPathWithin(std::string_view root, std::string_view path) {
  if (root == "/") return !path.empty() && path[0] == '/';
  if (path.size() < root.size() || path.substr(0, root.size()) != root) return false;
  return path.size() == root.size() || path[root.size()] == '/';
}

std::vector<std::string> NamesBelow(std::string_view root, std::string_view path) {
  std::vector<std::string> names;
  std::string_view rest = path.substr(root == "/" ? 0 : root.size());
  while (!rest.empty()) {
    if (rest[0] == '/') {
      rest.remove_prefix(1);
      continue;
    }
    const std::size_t slash = rest.find('/');
    names.emplace_back(rest.substr(0, slash));
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
  }
  return names;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    char32_t min = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, min = 0x10000;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    char32_t code = b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      code = (code << 6) | (c & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string CanonicalHostPath(std::string_view path) {
  std::string head = AbsoluteHostPath(path);
  std::string tail;
  while (true) {
    char resolved[PATH_MAX];
    if (::realpath(head.c_str(), resolved) != nullptr) {
      return tail.empty() ? std::string(resolved) : JoinHost(resolved, tail);
    }
    if (head == "/") return AbsoluteHostPath(path);
    const std::string name = HostBaseName(head);
    tail = tail.empty() ? name : name + "/" + tail;
    head = HostParent(head);
  }
}

}  // namespace win32
