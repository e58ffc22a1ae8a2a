// What the extraction tells the user about, kept apart from any window so that
// the extraction itself needs no display.
#pragma once

#include <cstdint>
#include <string>

namespace unlha32 {

// Follows one extraction. Names are UTF-8 with "\" separators, as the entry
// stands in the archive. A false result asks the extraction to stop: the file in
// progress is dropped and the result is ERROR_USER_CANCEL.
class ExtractionObserver {
 public:
  virtual ~ExtractionObserver() = default;
  // Called once, after the archive has been examined and before anything is
  // written; totalBytes is the sum of the sizes the archive declares.
  virtual bool Begin(std::uint64_t totalBytes) = 0;
  // Called when an entry starts and after each block written; bytesDone counts
  // the whole archive so far.
  virtual bool Progress(const std::string& entryName, std::uint64_t bytesDone) = 0;
  // Called once at the end, on success, failure and cancel alike (when Begin
  // was called).
  virtual void End() = 0;
};

// One failure, for the user: which archive, which entry (empty when none), why.
// All texts are UTF-8.
struct Failure {
  int result = 0;
  std::string archive;
  std::string entry;
  std::string reason;
};

class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  virtual void Report(const Failure& failure) = 0;
};

// The message box text for a failure (UTF-8), shared by every reporter.
std::string FailureText(const Failure& failure);

// The caption of the archiver's boxes and window (UTF-8).
inline constexpr const char* kCaption = "セットアップ";

}  // namespace unlha32
