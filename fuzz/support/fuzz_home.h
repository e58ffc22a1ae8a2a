// A private home for one fuzzer process: HOME, the XDG folders, TMPDIR and
// SETUP_PREFIX all lie in one fresh temporary folder that is removed at exit, so
// that no input can reach the real home or the host's files.
#pragma once

#include <string>

namespace fuzz_support {

// Makes the folder and points the environment at it; call once, from
// LLVMFuzzerInitialize. The prefix is created, its drive Z: is pointed at a small
// host folder of our own instead of "/", a drive D: is added inside drive C:
// (so that two drives nest), a few files with long, Japanese and look-alike names
// are laid out on C:, and the current folder becomes C:\WORK. Returns the root.
const std::string& MakeFuzzHome();

// The root made by MakeFuzzHome.
const std::string& FuzzRoot();

// Sends the win32 layer's error reports nowhere instead of to standard error:
// a fuzzer provokes thousands of them, and they are expected.
void SilenceReports();

// Writes bytes to a host file whole (creating or truncating it); false on failure.
bool WriteHostBytes(const std::string& path, const std::string& bytes);

// Removes a host folder and everything below it (links are removed, not followed).
void RemoveHostTree(const std::string& path);

}  // namespace fuzz_support
