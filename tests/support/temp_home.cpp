#include "support/temp_home.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {
namespace {

std::string& Root() {
  static std::string root;
  return root;
}

}  // namespace

void InitTempRoot() {
  std::string pattern = (fs::temp_directory_path() / "setup-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  Root() = pattern;
  const fs::path root(pattern);
  const auto set = [&](const char* name, const fs::path& path) {
    fs::create_directories(path);
    setenv(name, path.c_str(), 1);
  };
  set("HOME", root / "home");
  set("XDG_DATA_HOME", root / "home/.local/share");
  set("XDG_CONFIG_HOME", root / "home/.config");
  set("XDG_CACHE_HOME", root / "home/.cache");
  set("XDG_STATE_HOME", root / "home/.local/state");
  set("XDG_RUNTIME_DIR", root / "run");
  fs::permissions(root / "run", fs::perms::owner_all, fs::perm_options::replace);
  set("TMPDIR", root / "tmp");
  setenv("XDG_DATA_DIRS", (root / "share").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", (root / "etc/xdg").c_str(), 1);
  setenv("SETUP_PREFIX", (root / "prefix").c_str(), 1);
}

void RemoveTempRoot() {
  if (Root().empty() || std::getenv("SETUP_KEEP_TEST_TEMP") != nullptr) return;
  std::error_code ignored;
  fs::remove_all(Root(), ignored);
}

const std::string& TempRoot() { return Root(); }

std::string MakeTempDir(const std::string& stem) {
  static int counter = 0;
  fs::path dir = fs::path(Root()) / "cases" / (stem + "-" + std::to_string(++counter));
  fs::create_directories(dir);
  return dir.string();
}

std::string UseFreshPrefix() {
  static int counter = 0;
  const std::string prefix = Root() + "/prefix-" + std::to_string(++counter);
  setenv("SETUP_PREFIX", prefix.c_str(), 1);
  return prefix;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

std::string SourceDir() {
  const char* dir = std::getenv("SETUP_SOURCE_DIR");
  return dir != nullptr ? dir : ".";
}

std::string BinaryDir() {
  const char* dir = std::getenv("SETUP_BINARY_DIR");
  return dir != nullptr ? dir : ".";
}

}  // namespace testing_support
