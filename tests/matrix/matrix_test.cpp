// The bad-input matrix: every row runs the whole installer (the real WinMain, in a
// copy of this program lying on the medium as "Setup") against one kind of bad
// input or fault, answered by a scripted user, and then checks what the user was
// told, the exit status, and what is on disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/Setup.h"
#include "rows.h"
#include "vcl/application.h"
#include "support/temp_home.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace matrix {
namespace {

const std::string kPackage = "タヴォリン体験版";

// One medium made by the real LHA tool, copied for every row.
const std::string& TemplateMedium() {
  static const std::string medium = [] {
    const std::string dir = MakeTempDir("template") + "/medium";
    const std::string command = SourceDir() + "/tools/make-demo-medium '" + dir + "' '" +
                                fs::read_symlink("/proc/self/exe").string() + "' '" + BinaryDir() +
                                "/grpconv'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot make the medium");
    return dir;
  }();
  return medium;
}

// Every regular file below root with its size and time, to see what a run changed.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(const std::string& root) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
  std::error_code error;
  if (!fs::exists(root, error)) return files;
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_symlink(error)) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(error)) {
      files[fs::relative(it->path(), root).string()] = {it->file_size(error), it->last_write_time(error)};
    }
  }
  return files;
}

int RunSetup(const Row& row, std::size_t index, const RowPlace& place) {
  const pid_t child = fork();
  if (child == 0) {
    setenv("SETUP_MATRIX_ROW", std::to_string(index).c_str(), 1);
    setenv("SETUP_MATRIX_LOG", place.log.c_str(), 1);
    setenv("SETUP_PREFIX", place.prefix.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (chdir(place.medium.c_str()) != 0) _exit(120);
    const std::string program = place.medium + "/Setup";
    execl(program.c_str(), "Setup", static_cast<char*>(nullptr));
    _exit(121);
  }
  (void)row;
  int status = 0;
  for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
    if (waited > 1200) {  // two minutes: a row that hangs fails instead of stalling
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
}

class BadInput : public testing::TestWithParam<std::size_t> {};

TEST_P(BadInput, IsReportedAndLosesNothing) {
  const Row& row = Rows()[GetParam()];
  RowPlace place;
  place.root = MakeTempDir("row");
  place.medium = place.root + "/medium";
  place.prefix = place.root + "/prefix";
  place.log = place.root + "/user.log";
  fs::copy(TemplateMedium(), place.medium, fs::copy_options::recursive);
  place.target = place.prefix + "/drive_c/Program Files/Korvane/Tavolin/" + kPackage;
  // The prefix exists before the run, so that what the run changes in it shows.
  const std::string makePrefix = "SETUP_PREFIX='" + place.prefix + "' '" + BinaryDir() + "/tools/setup-prefix' >/dev/null";
  ASSERT_EQ(std::system(makePrefix.c_str()), 0);
  if (row.arrange) row.arrange(place);

  const auto mediumBefore = Snapshot(place.medium);
  const auto prefixBefore = Snapshot(place.prefix);

  EXPECT_EQ(RunSetup(row, GetParam(), place), 0) << "the installer always ends with 0";
  const std::string log = ReadFile(place.log);

  if (row.message != nullptr) {
    EXPECT_NE(log.find(row.message), std::string::npos) << "expected to be told: " << row.message << "\nsaw:\n" << log;
  }
  const bool completed = log.find("インストールが完了しました。") != std::string::npos;
  EXPECT_EQ(completed, row.completes) << log;

  // The medium is never changed.
  EXPECT_EQ(Snapshot(place.medium), mediumBefore);
  // Outside the destination, only the registry and the lock may have changed; no
  // temporary archive and no half-written file is left anywhere.
  for (const auto& [path, info] : Snapshot(place.prefix)) {
    const auto before = prefixBefore.find(path);
    const bool changed = before == prefixBefore.end() || before->second != info;
    const std::string host = place.prefix + "/" + path;
    EXPECT_EQ(host.find(".tmp"), std::string::npos) << "temporary file left: " << path;
    EXPECT_EQ(path.find("TAVOTEMP.LZH"), std::string::npos) << "temporary archive left";
    if (!changed) continue;
    const bool allowed = path.rfind("registry/", 0) == 0 || path.rfind("locks/", 0) == 0 ||
                         host.rfind(place.target + "/", 0) == 0 ||
                         (row.otherTarget && host.rfind(row.otherTarget(place) + "/", 0) == 0);
    EXPECT_TRUE(allowed) << "written outside the destination: " << path;
  }
  if (row.check) row.check(place, log);
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInput, testing::Range<std::size_t>(0, Rows().size()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(Rows()[info.param].name);
                         });

}  // namespace
}  // namespace matrix

// The installer's own main, as app/main.cpp has it.
int WinMainForMatrix() {
  char noCommandLine[] = "";
  const int status = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
  vcl::DoneApplication();
  return status;
}

int main(int argc, char** argv) {
  if (const char* row = std::getenv("SETUP_MATRIX_ROW")) {
    // Started as the installer on a medium: set up the row's fault and user, then
    // run the installer itself.
    const std::size_t index = std::strtoul(row, nullptr, 10);
    matrix::PrepareRowInChild(index, std::getenv("SETUP_MATRIX_LOG"));
    return WinMainForMatrix();
  }
  testing_support::InitTempRoot();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  testing_support::RemoveTempRoot();
  return result;
}
