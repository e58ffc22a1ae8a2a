// Runs a program as a child process with the test's environment and collects
// what it printed.
#pragma once

#include <string>
#include <vector>

namespace grpconv_test {

struct ProgramResult {
  int exitStatus = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// program is a path; arguments exclude argv[0]. Waits for the child.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// The full path of a program found in PATH; empty when there is none.
std::string FindInPath(const std::string& name);

// The lines of text, without their ends; a final line without one counts too.
std::vector<std::string> Lines(const std::string& text);

}  // namespace grpconv_test
