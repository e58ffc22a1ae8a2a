// The Windows-path mapping both ways and the 8.3 names, on any bytes, inside a
// prefix of our own whose drives C:, D: (inside C:) and Z: hold a few files.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/fuzz_check.h"
#include "support/fuzz_home.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& DriveRoots() {
  static std::vector<std::string> roots;
  return roots;
}

bool Within(const std::string& root, const std::string& path) {
  return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                          path[root.size()] == '/');
}

bool OnSomeDrive(const std::string& hostPath) {
  for (const std::string& root : DriveRoots()) {
    if (Within(root, hostPath)) return true;
  }
  return false;
}

bool Exists(const std::string& hostPath) {
  struct stat info {};
  return ::lstat(hostPath.c_str(), &info) == 0;
}

// A Windows path never leads off its drive, ".." or not, and its short form
// leads to the same entry.
void CheckWindowsPath(std::string_view windowsPath) {
  win32::Expected<std::string> host = win32::ToHostPath(windowsPath);
  if (host) FUZZ_CHECK(OnSomeDrive(*host));
  win32::Expected<std::string> shortPath = win32::ShortPathName(windowsPath);
  if (!shortPath) return;
  FUZZ_CHECK(host.ok());
  win32::Expected<std::string> back = win32::ToHostPath(*shortPath);
  FUZZ_CHECK(back.ok());
  FUZZ_CHECK(fs::path(*back).lexically_normal() == fs::path(*host).lexically_normal());
}

// A host path that exists and is mapped comes back to itself.
void CheckHostPath(const std::string& hostPath) {
  win32::Expected<std::string> windows = win32::ToWindowsPath(hostPath);
  if (!windows) return;
  FUZZ_CHECK(windows->size() >= 3 && (*windows)[1] == ':' && (*windows)[2] == '\\');
  std::error_code error;
  const fs::path canonical = fs::canonical(hostPath, error);
  if (error || !Exists(hostPath)) return;
  win32::Expected<std::string> back = win32::ToHostPath(*windows);
  FUZZ_CHECK(back.ok());
  FUZZ_CHECK(fs::path(*back) == canonical);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) return 0;
  for (const char* drive : {"c:", "d:", "z:"}) {
    DriveRoots().push_back(fs::canonical(fs::path(*prefix) / "dosdevices" / drive).string());
  }
  return 0;
}

// Input: one byte of choices, then the path. Bit 0: drop the cached listings
// first. Bits 1-2: a Windows path; a host path as given; a host path below the
// fuzzer's own root (so that a corpus works across runs); all three.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t choices = data[0];
  const std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
  if ((choices & 1) != 0) win32::ForgetCachedListings();
  const int mode = (choices >> 1) & 3;
  if (mode == 0 || mode == 3) CheckWindowsPath(path);
  if (path.find('\0') != std::string::npos) return 0;
  if (mode == 1 || mode == 3) CheckHostPath(path);
  if (mode == 2 || mode == 3) CheckHostPath(fuzz_support::FuzzRoot() + "/" + path);
  return 0;
}
