#include "win32/synch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fresh_prefix.h"
#include "win32/kernel.h"

namespace {

class NamedMutex : public win32_testing::FreshPrefixTest {};

// Runs body in a child process and gives its exit status.
template <class Body>
int InChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(NamedMutex, SecondHolderIsToldItAlreadyExists) {
  HANDLE first = CreateMutexA(nullptr, TRUE, "Setup");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  // Another process sees the mutex as taken while this one holds it.
  EXPECT_EQ(InChild([] {
              HANDLE second = CreateMutexA(nullptr, TRUE, "Setup");
              return second != nullptr && GetLastError() == static_cast<DWORD>(ERROR_ALREADY_EXISTS) ? 0 : 1;
            }),
            0);
  // A mutex of another name is free.
  EXPECT_EQ(InChild([] {
              HANDLE other = CreateMutexA(nullptr, TRUE, "Other \x83\x5C");
              return other != nullptr && GetLastError() == static_cast<DWORD>(ERROR_SUCCESS) ? 0 : 1;
            }),
            0);

  ASSERT_TRUE(CloseHandle(first));
  EXPECT_EQ(InChild([] {
              HANDLE again = CreateMutexA(nullptr, TRUE, "Setup");
              return again != nullptr && GetLastError() == static_cast<DWORD>(ERROR_SUCCESS) ? 0 : 1;
            }),
            0);
}

TEST_F(NamedMutex, AnEndedHolderFreesIt) {
  // The lock goes with the process, so a crashed installer never blocks the next.
  EXPECT_EQ(InChild([] { return CreateMutexA(nullptr, TRUE, "Setup") != nullptr ? 0 : 1; }), 0);
  HANDLE mine = CreateMutexA(nullptr, TRUE, "Setup");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(mine);
}

TEST_F(NamedMutex, UnnamedIsRefused) {
  EXPECT_EQ(CreateMutexA(nullptr, TRUE, nullptr), nullptr);
  EXPECT_EQ(CreateMutexA(nullptr, TRUE, ""), nullptr);
}

}  // namespace
