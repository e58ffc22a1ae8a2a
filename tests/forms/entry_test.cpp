// The entry, by running the real Setup program: when it refuses to start, that it
// does so silently and creates no window (without a display it would otherwise
// have to say so), and that it exits with 0 on every path.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace {

struct SetupRun {
  int status = -1;
  std::string errors;
};

// Runs Setup with args in cwd, with no display at all, and collects its exit
// status and standard error.
SetupRun RunSetup(const std::string& cwd, const std::vector<std::string>& args) {
  const std::string errorsFile = testing_support::MakeTempDir("stderr") + "/errors";
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(97);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    if (freopen(errorsFile.c_str(), "w", stderr) == nullptr) _exit(98);
    const std::string program = testing_support::BinaryDir() + "/Setup";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(99);
  }
  int status = 0;
  waitpid(child, &status, 0);
  SetupRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.errors = testing_support::ReadFile(errorsFile);
  return run;
}

struct RefusalCase {
  const char* what;
  std::function<void(const std::string& dir)> prepare;
  std::vector<std::string> args;
};

TEST(Entry, WithoutSetupDatItEndsSilentlyWithZero) {
  const RefusalCase cases[] = {
      {"empty folder", [](const std::string&) {}, {}},
      {"a folder named Setup.dat",
       [](const std::string& dir) { std::filesystem::create_directory(dir + "/Setup.dat"); },
       {}},
      {"arguments", [](const std::string&) {}, {"-platform", "offscreen", "/S", "Setup.dat"}},
      {"only a differently named file",
       [](const std::string& dir) { testing_support::WriteFile(dir + "/Setup.da", "Foo\n"); },
       {}},
  };
  for (const RefusalCase& c : cases) {
    const std::string dir = testing_support::MakeTempDir("entry");
    c.prepare(dir);
    const SetupRun run = RunSetup(dir, c.args);
    EXPECT_EQ(run.status, 0) << c.what;
    EXPECT_EQ(run.errors, "") << c.what;
  }
}

TEST(Entry, SetupDatBesideTheProgramButNotInTheCurrentFolderIsNotUsed) {
  // The build folder holds the program; the description lies there, not in cwd.
  const std::string beside = testing_support::BinaryDir() + "/Setup.dat";
  ASSERT_FALSE(testing_support::Exists(beside)) << "remove " << beside;
  testing_support::WriteFile(beside, "Foo\n");
  const SetupRun run = RunSetup(testing_support::MakeTempDir("elsewhere"), {});
  std::filesystem::remove(beside);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
}

TEST(Entry, SetupDatInTheCurrentFolderStartsItEvenWithTheProgramElsewhere) {
  // Without a display the start shows as one clear line, and still status 0.
  const std::string dir = testing_support::MakeTempDir("start");
  testing_support::WriteFile(dir + "/Setup.dat", "Foo\n0\n");
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               std::vector<std::string>{"--help", "x"}}) {
    const SetupRun run = RunSetup(dir, args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors,
              "Setup: cannot show the installer: no display is available (DISPLAY and "
              "WAYLAND_DISPLAY name none that can be opened).\n");
  }
}

}  // namespace
