#include "support/fuzz_home.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "win32/prefix.h"
#include "win32/report.h"

namespace fs = std::filesystem;

namespace fuzz_support {
namespace {

std::string& Root() {
  static std::string root;
  return root;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz home: %s\n", what.c_str());
  std::abort();
}

void MakeFolder(const fs::path& path) {
  std::error_code error;
  fs::create_directories(path, error);
  if (error) Fail("cannot create " + path.string() + ": " + error.message());
}

void MakeFile(const fs::path& path, const std::string& bytes) {
  MakeFolder(path.parent_path());
  if (!WriteHostBytes(path.string(), bytes)) Fail("cannot write " + path.string());
}

void SetVar(const char* name, const fs::path& path) {
  MakeFolder(path);
  setenv(name, path.c_str(), 1);
}

void RemoveRootAtExit() {
  if (!Root().empty() && std::getenv("SETUP_KEEP_FUZZ_TEMP") == nullptr) RemoveHostTree(Root());
}

// Names that make lookups work: case folding, 8.3 names with ~N tails that
// collide, CP932 names with a 0x5C second byte ("ソ"), blanks and dots.
void LayOutDriveC(const fs::path& driveC) {
  const fs::path work = driveC / "WORK";
  MakeFile(work / "Setup.dat", "Tavolin\r\n2\r\n");
  MakeFile(work / "LongFileName1.txt", "1");
  MakeFile(work / "LongFileName2.txt", "2");
  MakeFile(work / "MixedCase.TXT", "m");
  MakeFile(work / "a b.c.d.txt", "a");
  MakeFile(work / "ファイル名.txt", "f");
  MakeFolder(work / "ソフト" / "表示");
  MakeFile(work / "ソフト" / "表示" / "readme.txt", "r");
  MakeFolder(driveC / "Program Files" / "Korvane" / "Tavolin");
  MakeFile(driveC / "Program Files" / "Korvane" / "Tavolin" / "Tavolin.exe", "MZ");
  MakeFolder(driveC / "Program Data");
}

void ReplaceLink(const fs::path& link, const fs::path& target) {
  std::error_code error;
  fs::remove(link, error);
  fs::create_directory_symlink(target, link, error);
  if (error) Fail("cannot link " + link.string() + ": " + error.message());
}

}  // namespace

const std::string& MakeFuzzHome() {
  if (!Root().empty()) return Root();
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / "setup-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) Fail("mkdtemp failed in " + base.string());
  Root() = pattern;
  std::atexit(RemoveRootAtExit);

  const fs::path root(pattern);
  SetVar("HOME", root / "home");
  SetVar("XDG_DATA_HOME", root / "home/.local/share");
  SetVar("XDG_CONFIG_HOME", root / "home/.config");
  SetVar("XDG_CACHE_HOME", root / "home/.cache");
  SetVar("XDG_STATE_HOME", root / "home/.local/state");
  SetVar("TMPDIR", root / "tmp");
  setenv("XDG_DATA_DIRS", (root / "share").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", (root / "etc/xdg").c_str(), 1);
  setenv("SETUP_PREFIX", (root / "prefix").c_str(), 1);

  win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) Fail("cannot create the prefix: " + prefix.error().reason);
  const fs::path driveC = fs::path(*prefix) / "drive_c";
  LayOutDriveC(driveC);
  MakeFile(root / "host" / "usr" / "share" / "doc.txt", "d");
  ReplaceLink(fs::path(*prefix) / "dosdevices" / "z:", root / "host");
  ReplaceLink(fs::path(*prefix) / "dosdevices" / "d:", driveC / "WORK" / "ソフト");
  win32::ResetPrefixForTesting();
  if (::chdir((driveC / "WORK").c_str()) != 0) Fail("cannot enter drive C:");
  return Root();
}

const std::string& FuzzRoot() { return Root(); }

void SilenceReports() {
  win32::SetReportHook([](HWND, const std::string&, const std::string&) {});
}

bool WriteHostBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

void RemoveHostTree(const std::string& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace fuzz_support
