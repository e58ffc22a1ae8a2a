// Unlha on any archive bytes, extracting into a fresh destination each time,
// without any window (a null owner and the test hook for progress and failures).
// Beyond crashes it checks the archiver's promises: nothing outside the
// destination changes, no temporary file stays, no link is made, the progress
// counts only forward, and every result is one of the documented ones.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "support/fuzz_check.h"
#include "support/fuzz_home.h"
#include "unlha32/observer.h"
#include "unlha32/unlha32.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCommand = "x \"C:\\FUZZ\\IN.LZH\" \"C:\\FUZZ\\OUT\\\"";

struct Places {
  std::string fuzzFolder;   // host path of C:\FUZZ
  std::string archive;      // host path of C:\FUZZ\IN.LZH
  std::string destination;  // host path of C:\FUZZ\OUT
};

Places& Where() {
  static Places places;
  return places;
}

// Every entry below the fuzzer's root but the destination and the archive, with
// its type and size: what an extraction must leave alone.
using Snapshot = std::map<std::string, std::pair<int, std::uintmax_t>>;

Snapshot TakeSnapshot() {
  Snapshot snapshot;
  std::error_code error;
  fs::recursive_directory_iterator it(fuzz_support::FuzzRoot(), error), end;
  for (; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    if (path == Where().destination || path == Where().archive) {
      if (it->is_directory(error)) it.disable_recursion_pending();
      continue;
    }
    const fs::file_status status = it->symlink_status(error);
    std::uintmax_t size = 0;
    if (status.type() == fs::file_type::regular) size = it->file_size(error);
    snapshot[path] = {static_cast<int>(status.type()), size};
  }
  return snapshot;
}

Snapshot& Before() {
  static Snapshot snapshot;
  return snapshot;
}

class Observer : public unlha32::ExtractionObserver {
 public:
  explicit Observer(int cancelAfter) : cancelAfter_(cancelAfter) {}
  bool Begin(std::uint64_t totalBytes) override {
    FUZZ_CHECK(begins_ == 0);
    ++begins_;
    total_ = totalBytes;
    return cancelAfter_ != 1;
  }
  bool Progress(const std::string&, std::uint64_t bytesDone) override {
    FUZZ_CHECK(begins_ == 1 && ends_ == 0);
    FUZZ_CHECK(bytesDone >= done_);
    FUZZ_CHECK(bytesDone <= total_);
    done_ = bytesDone;
    ++calls_;
    return cancelAfter_ == 0 || calls_ + 1 < cancelAfter_;
  }
  void End() override {
    FUZZ_CHECK(begins_ == 1);
    ++ends_;
  }
  int begins_ = 0;
  int ends_ = 0;
  int calls_ = 0;
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;

 private:
  int cancelAfter_;
};

class Reporter : public unlha32::FailureReporter {
 public:
  void Report(const unlha32::Failure& failure) override {
    FUZZ_CHECK(failure.result != 0);
    ++reports_;
  }
  int reports_ = 0;
};

// SETUP_FUZZ_VERBOSE=1 tells each input's result, for looking at seeds and findings.
bool Verbose() {
  static const bool verbose = std::getenv("SETUP_FUZZ_VERBOSE") != nullptr;
  return verbose;
}

bool Documented(int result) {
  static const std::set<int> results = {
      0, ERROR_DISK_SPACE, ERROR_METHOD, ERROR_FILE_CRC, ERROR_MAKEDIRECTORY,
      ERROR_CANNOT_WRITE, ERROR_HEADER_BROKEN, ERROR_ARC_FILE_OPEN, ERROR_NOT_ARC_FILE,
      ERROR_CANNOT_READ, ERROR_USER_CANCEL, ERROR_NOT_SUPPORT, ERROR_NOT_FIND_ARC_FILE,
      ERROR_EOF, ERROR_UNSAFE_NAME};
  return results.count(result) != 0;
}

// What the destination holds: no link, no temporary file; the bytes of its files.
std::uint64_t CheckDestination() {
  std::uint64_t bytes = 0;
  std::error_code error;
  fs::recursive_directory_iterator it(Where().destination, error), end;
  for (; !error && it != end; it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    FUZZ_CHECK(status.type() == fs::file_type::regular ||
               status.type() == fs::file_type::directory);
    const std::string name = it->path().filename().string();
    FUZZ_CHECK(!(name.rfind(".unlha-", 0) == 0 && name.size() > 4 &&
                 name.compare(name.size() - 4, 4, ".tmp") == 0));
    if (status.type() == fs::file_type::regular) bytes += it->file_size(error);
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) return 0;
  Where().fuzzFolder = *prefix + "/drive_c/FUZZ";
  Where().archive = Where().fuzzFolder + "/IN.LZH";
  Where().destination = Where().fuzzFolder + "/OUT";
  fs::create_directories(Where().fuzzFolder);
  fuzz_support::WriteHostBytes(Where().archive, "");
  win32::ForgetCachedListings();
  Before() = TakeSnapshot();
  return 0;
}

// Input: one byte that says after how many progress calls to press cancel (0:
// never; 1: at the start), then the archive.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string archive(reinterpret_cast<const char*>(data + 1), size - 1);
  if (!fuzz_support::WriteHostBytes(Where().archive, archive)) return 0;

  Observer observer(data[0] % 8);
  Reporter reporter;
  unlha32::UnlhaSetUiForTesting(&observer, &reporter);
  const int result = Unlha(nullptr, kCommand, nullptr, 0);
  unlha32::UnlhaSetUiForTesting(nullptr, nullptr);

  if (Verbose()) {
    std::fprintf(stderr, "Unlha: %#x, %d progress calls, %llu bytes declared\n", result,
                 observer.calls_, static_cast<unsigned long long>(observer.total_));
  }
  FUZZ_CHECK(Documented(result));
  FUZZ_CHECK(observer.ends_ == observer.begins_);
  if (result != 0 && result != ERROR_USER_CANCEL) FUZZ_CHECK(reporter.reports_ == 1);
  if (result == 0 || result == ERROR_USER_CANCEL) FUZZ_CHECK(reporter.reports_ == 0);
  if (result == 0) FUZZ_CHECK(observer.begins_ == 1);
  const std::uint64_t written = CheckDestination();
  if (result == 0) FUZZ_CHECK(written <= observer.total_);
  FUZZ_CHECK(TakeSnapshot() == Before());

  fuzz_support::RemoveHostTree(Where().destination);
  win32::NoteHostEntryChanged(Where().destination);
  return 0;
}
