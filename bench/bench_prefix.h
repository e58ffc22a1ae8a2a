// The benchmarks run inside a prefix of their own (SETUP_PREFIX, set by the
// script) and address host files through the prefix's drive Z:.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/paths.h"
#include "win32/prefix.h"

namespace bench {

inline std::string WindowsPathOrDie(const std::string& hostPath) {
  if (!win32::EnsurePrefix().ok()) {
    std::fprintf(stderr, "cannot make the prefix\n");
    std::exit(2);
  }
  auto windows = win32::ToWindowsPath(hostPath);
  if (!windows.ok()) {
    std::fprintf(stderr, "%s: %s\n", hostPath.c_str(), windows.error().reason.c_str());
    std::exit(2);
  }
  return *windows;
}

}  // namespace bench
