// The rows of the bad-input matrix.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace matrix {

// Where one row runs.
struct RowPlace {
  std::string root;
  std::string medium;  // the copy of the medium Setup runs from (its current folder)
  std::string prefix;
  std::string log;     // what the scripted user saw
  std::string target;  // the default destination's host path
};

struct Row {
  const char* name;
  // Changes the medium or the prefix before the run.
  std::function<void(RowPlace&)> arrange;
  // Sets up the fault inside the installer's process (through the file-system seam).
  std::function<void()> fault;
  // The user's answers, one per modal window (see user.h).
  std::vector<std::string> answers;
  // A text the user must have been shown (UTF-8), or nullptr.
  const char* message;
  // Whether the completion dialog is shown.
  bool completes;
  // Another folder the row may write to besides the default destination.
  std::function<std::string(const RowPlace&)> otherTarget;
  // Further checks of what is on disk.
  std::function<void(const RowPlace&, const std::string& log)> check;
};

const std::vector<Row>& Rows();

// In the installer's process: installs the row's fault and its scripted user.
void PrepareRowInChild(std::size_t index, const char* logPath);

}  // namespace matrix
