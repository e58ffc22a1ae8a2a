// Fixtures shared by the Win32 layer's tests: a fresh prefix per test, and a
// current directory that is restored afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/temp_home.h"
#include "win32/prefix.h"

namespace win32_testing {

class FreshPrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
    ASSERT_TRUE(win32::EnsurePrefix().ok());
  }
  void TearDown() override { win32::ResetPrefixForTesting(); }

  std::string DriveC() const { return prefix_ + "/drive_c"; }

  std::string prefix_;
};

class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& folder) {
    char* old = ::getcwd(nullptr, 0);
    old_ = old;
    ::free(old);
    EXPECT_EQ(0, ::chdir(folder.c_str())) << folder;
  }
  ~ScopedCurrentDirectory() { (void)::chdir(old_.c_str()); }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::string old_;
};

}  // namespace win32_testing
