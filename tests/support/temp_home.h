// Every test process runs with HOME, XDG_* and SETUP_PREFIX inside one temporary
// folder made before main's first test, and removed at the end.
#pragma once

#include <string>

namespace testing_support {

// The temporary root of this test process (HOME lies below it).
const std::string& TempRoot();

// Makes the temporary root and points HOME, XDG_*, TMPDIR and SETUP_PREFIX into
// it; RemoveTempRoot removes it (unless SETUP_KEEP_TEST_TEMP is set). The shared
// test main calls both.
void InitTempRoot();
void RemoveTempRoot();

// A fresh, empty folder below the temporary root, for one test.
std::string MakeTempDir(const std::string& stem = "case");

// Points SETUP_PREFIX at a fresh folder below the temporary root (not created),
// and returns it. Callers that cached the prefix reset it themselves.
std::string UseFreshPrefix();

// Writes bytes to a host file, creating parent folders.
void WriteFile(const std::string& path, const std::string& bytes);
// Reads a host file whole; empty when it cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Where the source tree and build tree lie (from the environment CTest sets).
std::string SourceDir();
std::string BinaryDir();

}  // namespace testing_support
