// Failures of the file system, injected through the seam: a disk that fills up in
// the middle of a file, I/O errors while writing, flushing, renaming and reading,
// and too little free space for what the archive declares.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "lzh_media.h"
#include "support/temp_home.h"
#include "unlha32/unlha32.h"
#include "win32/filesystem.h"
#include "win32/prefix.h"

namespace fs = std::filesystem;

namespace {

using namespace unlha32_test;

// The real file system, except for what a test asks to fail.
class FaultyFileSystem : public win32::FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = win32::FileSystem::Open(path, flags, mode);
    const std::string name(path);
    if (fd >= 0 && name.find("/.unlha-") != std::string::npos) tempFds.insert(fd);
    if (fd >= 0 && name.size() > 4 && name.substr(name.size() - 4) == ".LZH") archiveFds.insert(fd);
    return fd;
  }
  ssize_t Write(int fd, const void* buffer, std::size_t size) override {
    if (writeErrno != 0 && tempFds.count(fd) != 0) {
      std::size_t& written = writtenTo[fd];
      if (written >= failAfterBytes) {
        errno = writeErrno;
        return -1;
      }
      size = std::min<std::size_t>(size, failAfterBytes - written);
      written += size;
    }
    return win32::FileSystem::Write(fd, buffer, size);
  }
  ssize_t Read(int fd, void* buffer, std::size_t size) override {
    if (readErrno != 0 && archiveFds.count(fd) != 0 && ++reads > readsBeforeFailure) {
      errno = readErrno;
      return -1;
    }
    return win32::FileSystem::Read(fd, buffer, size);
  }
  int Fsync(int fd) override {
    // Files are made durable in batches, by a flush of the folder's file system.
    if (fsyncErrno != 0) {
      errno = fsyncErrno;
      return -1;
    }
    return win32::FileSystem::Fsync(fd);
  }
  int Rename(const char* from, const char* to) override {
    if (renameErrno != 0) {
      errno = renameErrno;
      return -1;
    }
    return win32::FileSystem::Rename(from, to);
  }
  int StatVfs(const char* path, struct statvfs* result) override {
    const int r = win32::FileSystem::StatVfs(path, result);
    if (r == 0 && freeBytes >= 0) {
      result->f_frsize = 4096;
      result->f_bavail = static_cast<fsblkcnt_t>(freeBytes / 4096);
    }
    return r;
  }
  int Close(int fd) override {
    tempFds.erase(fd);
    writtenTo.erase(fd);
    archiveFds.erase(fd);
    return win32::FileSystem::Close(fd);
  }

  int writeErrno = 0;
  std::size_t failAfterBytes = 0;
  std::map<int, std::size_t> writtenTo;  // per temporary file
  int readErrno = 0;
  int reads = 0;
  int readsBeforeFailure = 0;
  int fsyncErrno = 0;
  int renameErrno = 0;
  long long freeBytes = -1;
  std::set<int> tempFds;
  std::set<int> archiveFds;
};

class SeamFailures : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(win32::EnsurePrefix().ok()); }
  void SetUp() override {
    work = testing_support::MakeTempDir("seam");
    source = work + "/source";
    names = MakeSampleTree(source);
    archive = work + "/PACKAGE.LZH";
    MakeJlhaArchive(source, names, "2o5", archive);
    destination = work + "/out";
    // An older version of the noisy file is installed already.
    testing_support::WriteFile(destination + "/ﾃﾞｰﾀ/ｶﾀｶﾅ.bin", "old version");
    win32::SetFileSystemForTesting(&faulty);
  }
  void TearDown() override { win32::SetFileSystemForTesting(nullptr); }

  int Extract() {
    return Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination)).c_str(),
                 nullptr, 0);
  }
  void ExpectOldVersionKept() {
    EXPECT_TRUE(testing_support::ReadFile(destination + "/ﾃﾞｰﾀ/ｶﾀｶﾅ.bin") == "old version");
    EXPECT_TRUE(TempFilesBelow(work).empty());
  }

  FaultyFileSystem faulty;
  ScopedRecordingUi recording;
  std::string work, source, archive, destination;
  std::vector<std::string> names;
};

TEST_F(SeamFailures, DiskFullInTheMiddleOfAFile) {
  // Every file of the sample tree but the 150000-byte one is smaller than this.
  faulty.writeErrno = ENOSPC;
  faulty.failAfterBytes = 130000;
  EXPECT_EQ(Extract(), ERROR_DISK_SPACE);
  ASSERT_EQ(recording.ui.failures.size(), 1u);
  EXPECT_EQ(recording.ui.failures[0].entry, "ﾃﾞｰﾀ\\ｶﾀｶﾅ.bin");
  ExpectOldVersionKept();
}

TEST_F(SeamFailures, WriteFlushAndRenameErrors) {
  struct Case {
    const char* label;
    int FaultyFileSystem::*field;
    int errnum;
    int result;
  };
  const Case cases[] = {
      {"write EIO", &FaultyFileSystem::writeErrno, EIO, ERROR_CANNOT_WRITE},
      {"write EDQUOT", &FaultyFileSystem::writeErrno, EDQUOT, ERROR_DISK_SPACE},
      {"fsync EIO", &FaultyFileSystem::fsyncErrno, EIO, ERROR_CANNOT_WRITE},
      {"fsync ENOSPC", &FaultyFileSystem::fsyncErrno, ENOSPC, ERROR_DISK_SPACE},
      {"rename EIO", &FaultyFileSystem::renameErrno, EIO, ERROR_CANNOT_WRITE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    faulty = FaultyFileSystem{};
    faulty.*c.field = c.errnum;
    faulty.failAfterBytes = 0;
    recording.ui = RecordingUi{};
    EXPECT_EQ(Extract(), c.result);
    ASSERT_EQ(recording.ui.failures.size(), 1u);
    // The failure names an entry of the archive, even when it surfaced while a
    // batch of finished files was put in place.
    std::vector<std::string> entries;
    for (auto name : ListTree(source)) {
      if (name.back() == '/') continue;
      std::replace(name.begin(), name.end(), '/', '\\');
      entries.push_back(name);
    }
    EXPECT_NE(std::find(entries.begin(), entries.end(), recording.ui.failures[0].entry),
              entries.end())
        << recording.ui.failures[0].entry;
    ExpectOldVersionKept();
  }
}

TEST_F(SeamFailures, ReadErrorOnTheArchive) {
  for (const int before : {0, 1}) {
    faulty = FaultyFileSystem{};
    faulty.readErrno = EIO;
    faulty.readsBeforeFailure = before;
    recording.ui = RecordingUi{};
    EXPECT_EQ(Extract(), ERROR_CANNOT_READ) << before;
    ExpectOldVersionKept();
  }
}

TEST_F(SeamFailures, FreeSpaceIsCheckedAgainstTheDeclaredSizes) {
  faulty.freeBytes = 64 * 1024;
  EXPECT_EQ(Extract(), ERROR_DISK_SPACE);
  EXPECT_EQ(recording.ui.begins, 0);
  ExpectOldVersionKept();
  EXPECT_EQ(ListTree(destination), (std::vector<std::string>{"ﾃﾞｰﾀ/", "ﾃﾞｰﾀ/ｶﾀｶﾅ.bin"}));
  faulty.freeBytes = 64 * 1024 * 1024;
  recording.ui = RecordingUi{};
  EXPECT_EQ(Extract(), 0);
  EXPECT_EQ(CompareTrees(source, destination), "");
}

}  // namespace
